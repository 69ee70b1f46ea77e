"""pytest fixtures for firmware tests: `board`, fresh per test, and
`booted_board`, the same program already through its start-up.

The program comes from `@pytest.mark.hc11(program=PATH)` on the test (or its
module or class), else from `--hc11-program PATH`. `booted_board` runs the
start-up (`boot_ms=` on the marker, else `--hc11-boot-ms`) once per session
and program, saves that state and loads it for each test. A failing test's
report shows where the program was: the PC, the function holding it and the
last trace lines.
"""
import pytest

import hc11flow

_TRACE_LINES = 20
_BOOT_MS = 100.0


def pytest_addoption(parser):
    parser.addoption("--hc11-program", metavar="PATH", default=None,
                     help="the program the hc11flow fixtures open (listing, base path or HEX)")
    parser.addoption("--hc11-boot-ms", metavar="MS", type=float, default=_BOOT_MS,
                     help="simulated milliseconds of start-up before booted_board's state is saved")


def pytest_configure(config):
    config.addinivalue_line("markers", "hc11(program=PATH, boot_ms=MS): the program the hc11flow fixtures "
                            "open, and how long booted_board's start-up runs")


def _program(request):
    marker = request.node.get_closest_marker("hc11")
    if marker is not None and "program" in marker.kwargs:
        return str(marker.kwargs["program"])
    program = request.config.getoption("--hc11-program")
    if program is None:
        pytest.fail("no program: give --hc11-program PATH or @pytest.mark.hc11(program=PATH)", pytrace=False)
    return program


def _boot_ms(request):
    marker = request.node.get_closest_marker("hc11")
    if marker is not None and "boot_ms" in marker.kwargs:
        return float(marker.kwargs["boot_ms"])
    return request.config.getoption("--hc11-boot-ms")


def _shown(request, b):
    request.node._hc11_board = b
    yield b
    del request.node._hc11_board


@pytest.fixture
def board(request):
    """The program opened afresh, as `hc11flow-cli run` loads it."""
    yield from _shown(request, hc11flow.open(_program(request)))


@pytest.fixture(scope="session")
def _hc11_booted(tmp_path_factory):
    return {}


@pytest.fixture
def booted_board(request, _hc11_booted, tmp_path_factory):
    """The program after its start-up, from a state saved once per session.

    One board per program serves every test: its debugger lists are emptied
    and the saved state loaded, which leaves it as a fresh open would, in a
    fraction of the time an open takes."""
    program, ms = _program(request), _boot_ms(request)
    kept = _hc11_booted.get((program, ms))
    if kept is None:
        b = hc11flow.open(program)
        b.run(ms=ms)
        path = str(tmp_path_factory.mktemp("hc11flow-boot") / "booted.state")
        b.save_state(path)
        kept = _hc11_booted[(program, ms)] = (b, path)
    b, path = kept
    b._forget_debugger_lists()
    b.load_state(path)
    yield from _shown(request, b)
