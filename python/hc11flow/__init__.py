"""The 68HC11 board simulator and debugger, driven from Python.

    b = hc11flow.open("examples/demo/demo")
    b.run(ms=200)
    assert b.display() == "1450"
    assert hc11flow.replay("demo.session")   # the build does what the recorded session did
"""
from ._hc11flow import (  # noqa: F401
    Board,
    Error,
    ReplayResult,
    SessionInput,
    SessionOutput,
    Stop,
    Timeout,
    open,
    replay,
)

__all__ = ["Board", "Error", "ReplayResult", "SessionInput", "SessionOutput", "Stop", "Timeout", "open", "replay"]
