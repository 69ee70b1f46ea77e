"""Run commands, their bounds and how each one ends."""
import pytest

import hc11flow


def test_steps_bound_ends_as_budget_after_exactly_those_steps(loop):
    b = hc11flow.open(loop)
    stop = b.run(steps=4)  # ldS, ldX, clrA, ldB
    assert (stop.cause, stop.pc) == ("budget", b.symbol("boucle"))
    b.run(steps=3)  # addA, stA, decB
    assert (b.a, b.b, b.mem[0x10]) == (1, 2, 1)


@pytest.mark.parametrize("cycles", [1, 7, 50, 1000, 12345])
def test_cycles_bound_ends_at_the_first_boundary_at_or_past_it(loop, cycles):
    b = hc11flow.open(loop)
    start = b.cycles
    stop = b.run(cycles=cycles)
    assert stop.cause == "budget"
    spent = b.cycles - start
    assert cycles <= spent < cycles + 8  # one instruction at most beyond the bound


def test_ms_bound_is_simulated_time(loop):
    b = hc11flow.open(loop)
    b.run(ms=2.5)
    assert 2.5 <= b.time_ms < 2.51


def test_until_takes_a_label_or_an_address(loop):
    b = hc11flow.open(loop)
    stop = b.run(until="compte")
    assert (stop.cause, b.pc, b.a) == ("target", b.symbol("compte"), 3)
    stop = b.run(until=b.symbol("compte"))
    assert (stop.cause, b.a) == ("target", 6)


def test_until_with_a_step_bound_ends_at_whichever_comes_first(loop):
    b = hc11flow.open(loop)
    assert b.run(until="compte", steps=2).cause == "budget"


@pytest.mark.parametrize("kwargs, error", [
    ({}, ValueError),
    ({"steps": 0}, ValueError),
    ({"cycles": -1}, ValueError),
    ({"ms": 0}, ValueError),
    ({"ms": float("nan")}, ValueError),
    ({"until": 0x10000}, ValueError),
    ({"until": "nowhere"}, hc11flow.Error),
    ({"until": 1.5}, TypeError),
])
def test_bad_bounds_are_refused_before_anything_runs(loop, kwargs, error):
    b = hc11flow.open(loop)
    with pytest.raises(error):
        b.run(**kwargs)
    assert b.cycles == 0


def test_step_step_over_and_step_out(loop):
    b = hc11flow.open(loop)
    callr = b.symbol("compte") - 4  # callr compte, then jr debut
    after = callr + 2
    b.run(until=callr)
    x = b.x
    stop = b.step_over()
    assert (stop.cause, b.pc, b.x) == ("returned", after, x + 1)
    b.run(until=callr)
    assert (b.step().cause, b.pc) == ("step", b.symbol("compte"))
    assert (b.step_out().cause, b.pc) == ("step", after)


def test_breakpoint_states(loop):
    b = hc11flow.open(loop)
    b.breakpoints.add("compte", state="Trace")
    assert b.run(steps=200).cause == "budget"
    b.breakpoints.remove("compte")
    b.breakpoints.add("compte")
    stop = b.run(steps=200)
    assert (stop.cause, stop.pc) == ("breakpoint", b.symbol("compte"))
    assert "compte" in stop.text
    b.breakpoints.add(0x10, kind="I")
    stop = b.run(steps=200)
    assert stop.cause == "ram_breakpoint"
    assert len(b.breakpoints) == 2
    b.breakpoints.clear()
    assert len(b.breakpoints) == 0
    with pytest.raises(hc11flow.Error):
        b.breakpoints.remove("compte")


@pytest.mark.parametrize("kwargs", [{"kind": "X"}, {"state": "Stop"}])
def test_bad_breakpoints_are_refused(loop, kwargs):
    b = hc11flow.open(loop)
    with pytest.raises(ValueError):
        b.breakpoints.add("compte", **kwargs)
    assert len(b.breakpoints) == 0


def test_an_illegal_instruction_ends_the_run_as_an_error(loop):
    b = hc11flow.open(loop)
    b.pc = b.symbol("bad")
    stop = b.run(steps=10)
    assert stop.cause == "error"
    assert stop.message


def test_going_back(loop):
    b = hc11flow.open(loop)
    b.record(True)
    b.run(steps=10)
    pc, a, cycles = b.pc, b.a, b.cycles
    b.step()
    assert b.step_back().cause == "step"
    assert (b.pc, b.a, b.cycles) == (pc, a, cycles)
    assert b.run_back().cause == "record_start"
    assert b.cycles == 0


def test_init_starts_again(loop):
    b = hc11flow.open(loop)
    b.run(steps=100)
    b.init()
    assert (b.pc, b.cycles) == (b.symbol("debprog_"), 0)
