"""A routine called in isolation: registers in, registers and counts out."""
import pytest

import hc11flow


@pytest.mark.parametrize("routine, regs, result", [
    ("add5", {"a": 3}, {"a": 8}),
    ("add5", {"a": 0xFE}, {"a": 0x03}),
    ("countdown", {"a": 3}, {"a": 0}),  # loops back to its own entry
    ("compte", {"x": 0x00FF}, {"x": 0x0100}),
])
def test_call_returns_the_registers_after_the_routine(loop, routine, regs, result):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    sp = b.sp
    r = b.call(routine, **regs)
    for name, value in result.items():
        assert getattr(r, name) == value
    assert r.sp == sp
    assert b.pc == b.symbol(routine)  # where the return left it


def test_call_counts_steps_and_cycles(loop):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    r = b.call("countdown", a=3)
    assert r.steps == 3 * 2 + 1
    before = b.cycles
    r2 = b.call("countdown", a=3)
    assert r2.cycles == b.cycles - before == r.cycles


def test_a_routine_that_never_returns_raises_timeout(loop):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    start = b.cycles
    with pytest.raises(hc11flow.Timeout, match="forever"):
        b.call("forever", max_cycles=500)
    assert 500 <= b.cycles - start < 510


@pytest.mark.parametrize("sp", [0x0000, 0x1001, 0x1040])
def test_a_call_with_no_stack_is_refused_and_changes_nothing(loop, sp):
    b = hc11flow.open(loop)  # the return address would go into the vectors or the registers
    b.sp = sp
    before = b.digest()
    with pytest.raises(hc11flow.Error, match="no stack"):
        b.call("add5")
    assert b.digest() == before


def test_a_routine_stopped_before_its_return_raises(loop):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    with pytest.raises(hc11flow.Error, match="stopped"):
        b.call("bad")
    b.breakpoints.add("add5")
    with pytest.raises(hc11flow.Error, match="stopped"):
        b.call("add5")


@pytest.mark.parametrize("kwargs", [{"a": 256}, {"x": -1}, {"max_cycles": 0}])
def test_call_refuses_registers_that_do_not_fit(loop, kwargs):
    b = hc11flow.open(loop)
    with pytest.raises(ValueError):
        b.call("add5", **kwargs)


@pytest.mark.parametrize("max_cycles", range(5, 200, 7))
def test_the_return_is_found_wherever_the_runs_batches_end(loop, max_cycles):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    r = b.call("countdown", a=20 if max_cycles > 120 else 1, max_cycles=max_cycles)
    assert r.a == 0
