"""The demo firmware's tests open examples/demo/demo through the hc11flow plugin."""
import pathlib

import pytest

DEMO = pathlib.Path(__file__).resolve().parent.parent / "demo"


def pytest_collection_modifyitems(items):
    for item in items:
        if item.get_closest_marker("hc11") is None:
            item.add_marker(pytest.mark.hc11(program=str(DEMO)))
