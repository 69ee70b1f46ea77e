"""pytest fixtures for firmware tests: `board`, fresh per test.

The program comes from `@pytest.mark.hc11(program=PATH)` on the test (or its
module or class), else from `--hc11-program PATH`. A failing test's report
shows where the program was: the PC, the function holding it and the last
trace lines.
"""
import pytest

import hc11flow

_TRACE_LINES = 20


def pytest_addoption(parser):
    parser.addoption("--hc11-program", metavar="PATH", default=None,
                     help="the program the hc11flow fixtures open (listing, base path or HEX)")


def pytest_configure(config):
    config.addinivalue_line("markers", "hc11(program=PATH): the program the hc11flow fixtures open")


def _program(request):
    marker = request.node.get_closest_marker("hc11")
    if marker is not None and "program" in marker.kwargs:
        return str(marker.kwargs["program"])
    program = request.config.getoption("--hc11-program")
    if program is None:
        pytest.fail("no program: give --hc11-program PATH or @pytest.mark.hc11(program=PATH)", pytrace=False)
    return program


@pytest.fixture
def board(request):
    """The program opened afresh, as `hc11flow-cli run` loads it."""
    b = hc11flow.open(_program(request))
    request.node._hc11_board = b
    yield b
    del request.node._hc11_board


def where(b):
    """The lines a failure report shows about the board `b`."""
    function = b.function_at(b.pc) or "(hors fonction)"
    lines = [f"PC=${b.pc:04X} in {function}  A=${b.a:02X} B=${b.b:02X} X=${b.x:04X} "
             f"Y=${b.y:04X} SP=${b.sp:04X} CC=${b.cc:02X} cycles={b.cycles}"]
    trace = b.trace(_TRACE_LINES)
    if trace:
        lines.append(f"last {len(trace)} trace lines:")
        lines.extend("  " + line for line in trace)
    return "\n".join(lines)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    b = getattr(item, "_hc11_board", None)
    if b is not None and report.failed and call.when == "call":
        report.sections.append(("hc11flow board", where(b)))
