"""The 68HC11 board simulator and debugger, driven from Python.

    b = hc11flow.open("examples/demo/demo")
    b.run(ms=200)
    assert b.display() == "1450"
"""
from ._hc11flow import Board, Error, Stop, Timeout, open  # noqa: F401

__all__ = ["Board", "Error", "Stop", "Timeout", "open"]
