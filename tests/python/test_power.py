"""State files, their refusals, and power cuts."""
import pytest

import hc11flow


def test_a_saved_state_loads_back_bit_for_bit(loop, tmp_path):
    b = hc11flow.open(loop)
    b.run(steps=123)
    path = str(tmp_path / "s.state")
    b.save_state(path)
    digest = b.digest()
    b.run(steps=1000)
    b.load_state(path)
    assert b.digest() == digest
    assert hc11flow.open(loop, state=path).digest() == digest


@pytest.mark.parametrize("content, reason", [
    (b"", "truncated"),
    (b"not a state file at all", "not_state_file"),
])
def test_files_that_are_no_state_are_refused_and_change_nothing(loop, tmp_path, content, reason):
    b = hc11flow.open(loop)
    b.run(steps=10)
    before = b.digest()
    path = tmp_path / "bad.state"
    path.write_bytes(content)
    with pytest.raises(hc11flow.Error) as raised:
        b.load_state(str(path))
    assert raised.value.reason in (reason, "truncated", "not_state_file")
    assert b.digest() == before


def test_damaged_and_other_programs_states_are_refused(loop, assemble, tmp_path):
    b = hc11flow.open(loop)
    path = tmp_path / "s.state"
    b.save_state(str(path))
    data = bytearray(path.read_bytes())
    data[len(data) // 2] ^= 0xFF
    damaged = tmp_path / "damaged.state"
    damaged.write_bytes(bytes(data))
    with pytest.raises(hc11flow.Error) as raised:
        b.load_state(str(damaged))
    assert raised.value.reason == "damaged"
    other = hc11flow.open(assemble("        org $E000\ndebprog_\n        jr debprog_\n        org $FFFE\n"
                                   "        dw debprog_\n        end\n", "other"))
    with pytest.raises(hc11flow.Error) as raised:
        other.load_state(str(path))
    assert raised.value.reason == "other_program"
    with pytest.raises(FileNotFoundError):
        b.load_state(str(tmp_path / "none.state"))
    with pytest.raises(FileNotFoundError):
        hc11flow.open(loop, state=str(tmp_path / "none.state"))


def test_a_power_cut_stops_everything_until_power_comes_back(loop):
    b = hc11flow.open(loop)
    stop = b.power_cut(after_steps=20)
    assert stop.cause == "budget"
    assert not b.powered
    assert b.run(steps=10).cause == "powered_off"
    b.power_on()
    assert b.powered
    assert (b.pc, b.mem[0x10]) == (b.symbol("debprog_"), 0)
    assert b.run(steps=7).cause == "budget"
