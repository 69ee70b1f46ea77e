"""Coverage, profile, the lcov tracefile and the state digest."""
import re
import subprocess

import pytest

import hc11flow


def test_coverage_counts_each_address(loop):
    b = hc11flow.open(loop)
    b.counting(True)
    b.run(until="compte")
    b.step()
    coverage = b.coverage()
    assert coverage[b.symbol("boucle")] == 3
    assert coverage[b.symbol("debprog_")] == 1
    assert b.symbol("countdown") not in coverage


def test_profile_shares_every_cycle_among_the_functions(loop):
    b = hc11flow.open(loop)
    b.counting(True)
    b.run(steps=1000)
    profile = b.profile()
    assert set(profile) == {"debprog_", "(hors fonction)"}
    main = profile["debprog_"]
    assert main["exclusive"] == main["inclusive"] == b.cycles
    assert main["percent"] == 100.0


def test_lcov_tracefile(loop, tmp_path):
    b = hc11flow.open(loop)
    b.counting(True)
    b.run(steps=100)
    path = tmp_path / "loop.info"
    b.write_lcov(str(path))
    text = path.read_text()
    assert text.startswith("TN:") or "SF:" in text
    assert "end_of_record" in text


@pytest.mark.parametrize("query", ["coverage", "profile"])
def test_counts_asked_for_while_counting_is_off_raise(loop, query):
    b = hc11flow.open(loop)
    b.run(steps=10)
    with pytest.raises(hc11flow.Error, match="counting"):
        getattr(b, query)()


@pytest.mark.parametrize("steps", [1, 57, 20000])
def test_the_digest_is_the_clis(loop, cli, steps):
    b = hc11flow.open(loop)
    b.run(steps=steps)
    out = subprocess.run([cli, "run", loop, "--no-workspace", "--steps", str(steps), "--digest"],
                         check=True, capture_output=True, text=True).stdout
    assert re.search(r"^digest: (\w+)$", out, re.M).group(1) == b.digest()


def test_the_same_calls_give_the_same_states(loop):
    def session():
        b = hc11flow.open(loop)
        b.run(cycles=777)
        b.mem[0x10] = 9
        b.call("add5", a=1)
        b.run(steps=30000)
        return b.digest()

    assert session() == session()
