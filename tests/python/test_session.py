"""Sessions from Python: a board's inputs recorded into a file, replayed on the
same build (same) and on a build with another reply constant (the difference,
with both values), timing tolerance, refused files and the context manager."""
import os
import pathlib
import shutil
import subprocess

import pytest

import hc11flow

DEMO = pathlib.Path(__file__).resolve().parents[2] / "examples" / "demo"


@pytest.fixture
def demo(tmp_path):
    """A copy of the demo's listing and image in tmp_path: its base path."""
    for name in ("demo.lst", "demo.HEX"):
        shutil.copy(DEMO / name, tmp_path / name)
    return tmp_path / "demo"


def patched_demo(folder, old, new):
    """The demo's source with `old` replaced once by `new`, assembled in `folder`."""
    lstgen = os.environ.get("HC11_LSTGEN")
    if not lstgen:
        pytest.skip("HC11_LSTGEN is not set (ctest sets it)")
    source = (DEMO / "demo.asm").read_text()
    assert old in source
    folder.mkdir()
    (folder / "demo.asm").write_text(source.replace(old, new, 1))
    subprocess.run([lstgen, str(folder / "demo.asm"), str(folder / "demo")], check=True, capture_output=True)
    return folder / "demo"


def record_write_ram(demo, path):
    """The demo started, then "Ecr ram": its reply is A4 00."""
    b = hc11flow.open(str(demo))
    b.record(path)
    b.run(steps=30000)
    b.inject("Ecr ram")
    b.run(steps=200000)
    assert b.stop_recording() == str(path)
    return path


def lines_of(path, kind):
    return [line for line in path.read_text().splitlines() if line.startswith(kind + " ")]


# Each input given from Python and the line the session holds for it.
INPUTS = [
    ("a key held and released", lambda b: b.tap("F+", ms=40), ["key 4 down", "key 4 up"]),
    ("M/A", lambda b: (b.press("M/A"), b.run(ms=5), b.release("M/A")), ["onoff down", "onoff up"]),
    ("serial bytes", lambda b: b.serial.send(b"\xa1\x00"), ['serial "\\xa1\\x00"']),
    ("a command button", lambda b: b.inject("LecE2P"), ['serial "\\xa6']),
    ("the signal level", lambda b: setattr(b, "signal", 200), ["signal 200"]),
    ("the compared frequency", lambda b: setattr(b, "ocfreq", 145000), ["ocfreq 145000"]),
    ("the channel busy", lambda b: setattr(b, "oc", True), ["oc 1"]),
    ("a power cut", lambda b: (b.power_cut(), b.power_on()), ["power cut", "power on"]),
]


@pytest.mark.parametrize("name,give,recorded", INPUTS, ids=[i[0] for i in INPUTS])
def test_inputs_given_from_python_are_recorded_and_replay_the_same(demo, tmp_path, name, give, recorded):
    path = tmp_path / "s.session"
    b = hc11flow.open(str(demo))
    b.record(path)
    b.run(ms=20)
    give(b)
    b.run(ms=60)
    b.stop_recording()
    inputs = [line.split(" ", 2)[2] for line in lines_of(path, "in")]
    for line in recorded:
        assert any(i.startswith(line) for i in inputs), (line, inputs)
    result = hc11flow.replay(path)
    assert result, str(result)
    assert result.same and result.outputs == len(lines_of(path, "out")) > 0
    assert str(result) == f"same: {result.outputs} outputs\n"
    assert repr(result) == f"ReplayResult(same=True, outputs={result.outputs})"


def test_a_changed_reply_constant_is_found_with_both_values(demo, tmp_path):
    path = record_write_ram(demo, tmp_path / "w.session")
    outputs = [line.split()[2:] for line in lines_of(path, "out")]
    status = next(i + 1 for i, o in enumerate(outputs) if o == ["tx", "a4"])
    assert outputs[status] == ["tx", "00"]
    patched = patched_demo(tmp_path / "patched", "reply   CMD_WRRAM,ST_OK", "reply   CMD_WRRAM,$07")

    r = hc11flow.replay(path, program=patched)
    assert not r and not r.same
    assert (r.index, r.outputs, r.timing) == (status, status, False)
    assert (r.recorded.kind, r.recorded.value, r.recorded.text) == ("tx", 0x00, "tx 00")
    assert (r.produced.kind, r.produced.value, r.produced.text) == ("tx", 0x07, "tx 07")
    assert r.recorded.time == r.produced.time
    assert r.function == "@tx_wait", "the run stops in the step that transmitted"
    assert r.last_inputs and r.last_inputs[-1].kind == "serial"
    assert r.last_inputs[-1].data.startswith(b"\xa4")
    assert str(r).startswith(f"differ: output {status}\nrecorded: tx 00 at {r.recorded.time}\n")
    assert f"index={status}" in repr(r) and "produced=tx 07" in repr(r)
    # The same session still passes on its own build.
    assert hc11flow.replay(path, program=str(demo))


def shifted(path, counts, into):
    """The session with every output and its end recorded `counts` later."""
    text = []
    for line in path.read_text().splitlines():
        words = line.split(" ")
        if words[0] in ("out", "end"):
            words[1] = str(int(words[1]) + counts)
        text.append(" ".join(words))
    into.write_text("\n".join(text) + "\n")
    return into


def test_timing_ms_makes_a_late_output_a_difference(demo, tmp_path):
    path = record_write_ram(demo, tmp_path / "w.session")
    late = shifted(path, 8950, tmp_path / "late.session")  # 10 ms at 895,000 counts a second
    assert hc11flow.replay(late), "times are not compared without timing_ms"
    assert hc11flow.replay(late, timing_ms=20)
    r = hc11flow.replay(late, timing_ms=1)
    assert not r and r.timing and r.index == 0
    assert r.recorded.text == r.produced.text and r.recorded.time - r.produced.time == 8950
    assert "(timing)" in str(r)
    assert hc11flow.replay(path, timing_ms=0.001), "its own build keeps every time"
    for bad, error in ((-1, ValueError), (float("nan"), ValueError), ("10", TypeError)):
        with pytest.raises(error):
            hc11flow.replay(path, timing_ms=bad)


HEAD = "hc11flow session 1\nprogram demo\ndigest 00ff\nclock designed\n"
REFUSED = [
    ("not a session", "a shopping list\n", "header", 1),
    ("an unknown kind", HEAD + "in 0 signal 4\nin 5 jump 3\nend 9\n", "unknown_kind", 6),
    ("a key neither down nor up", HEAD + "in 0 key 3 sideways\nend 9\n", "bad_value", 5),
    ("a time going back", HEAD + "in 50 signal 4\nin 10 signal 5\nend 90\n", "time_back", 6),
    ("an unterminated string", HEAD + 'in 0 serial "\\xa4\nend 9\n', "truncated", 5),
    ("no end line", HEAD + "in 0 signal 4\n", "truncated", 5),
]


@pytest.mark.parametrize("name,text,reason,line", REFUSED, ids=[r[0] for r in REFUSED])
def test_a_refused_session_raises_with_its_line(demo, tmp_path, name, text, reason, line):
    path = tmp_path / "bad.session"
    path.write_text(text)
    with pytest.raises(hc11flow.Error) as refused:
        hc11flow.replay(path, program=demo)
    assert (refused.value.reason, refused.value.line) == (reason, line)
    assert f"line {line}" in str(refused.value)


def test_missing_files_raise_file_not_found(demo, tmp_path):
    with pytest.raises(FileNotFoundError):
        hc11flow.replay(tmp_path / "none.session")
    path = record_write_ram(demo, tmp_path / "w.session")
    with pytest.raises(FileNotFoundError, match="elsewhere"):
        hc11flow.replay(path, program=tmp_path / "elsewhere")


def test_the_recorded_program_is_found_beside_the_session_or_one_folder_up(demo, tmp_path):
    beside = record_write_ram(demo, tmp_path / "w.session")
    (tmp_path / "sessions").mkdir()
    above = shutil.copy(beside, tmp_path / "sessions" / "w.session")
    for session in (beside, above, str(above)):
        assert hc11flow.replay(session), session
    # A program beside the session wins over the one above it.
    patched = patched_demo(tmp_path / "sessions" / "p", "reply   CMD_WRRAM,ST_OK", "reply   CMD_WRRAM,$07")
    for name in ("demo.lst", "demo.HEX"):
        shutil.copy(patched.parent / name, tmp_path / "sessions" / name)
    assert not hc11flow.replay(above)


def test_the_context_manager_writes_the_session_on_an_exception(demo, tmp_path):
    path = tmp_path / "c.session"
    b = hc11flow.open(str(demo))
    with pytest.raises(RuntimeError, match="the test's own"):
        with b.recording(path) as recording:
            assert recording is b
            b.tap("Menu", ms=30)
            b.run(ms=30)
            raise RuntimeError("the test's own failure")
    assert lines_of(path, "end") and "key 9 down" in path.read_text()
    assert hc11flow.replay(path)
    with pytest.raises(hc11flow.Error, match="not recording"):
        b.stop_recording()
    # A block that stops the recording itself is written once, by that call.
    c = hc11flow.open(str(demo))
    with c.recording(tmp_path / "d.session"):
        c.run(ms=10)
        assert c.stop_recording() == str(tmp_path / "d.session")
    assert hc11flow.replay(tmp_path / "d.session")


def test_a_session_starts_at_the_program_start_and_its_time_only_goes_forward(demo, tmp_path):
    b = hc11flow.open(str(demo))
    b.run(ms=5)
    # Init would not give the fresh board a replay starts from: the chips keep their latches.
    b.init()
    with pytest.raises(hc11flow.Error, match="program's start"):
        b.record(tmp_path / "late.session")
    assert not (tmp_path / "late.session").exists()

    b = hc11flow.open(str(demo))
    b.record(True)  # the time-travel record's switch is still record(True)
    b.record(tmp_path / "r.session")
    b.run(steps=2000)
    b.save_state(str(tmp_path / "s.state"))
    refused = [
        ("init", b.init),
        ("step_back", b.step_back),
        ("run_back", b.run_back),
        ("load_state", lambda: b.load_state(str(tmp_path / "s.state"))),
    ]
    for name, command in refused:
        cycles = b.cycles
        with pytest.raises(hc11flow.Error, match=f"{name} while recording"):
            command()
        assert b.cycles == cycles, name
    b.stop_recording()
    assert hc11flow.replay(tmp_path / "r.session")
    assert b.step_back().cause == "step", "going back works again once the recording ended"


def test_recording_refuses_what_would_lose_it_or_the_program(demo, tmp_path):
    b = hc11flow.open(str(demo))
    listing = demo.with_suffix(".lst")
    before = listing.read_bytes()
    with pytest.raises(hc11flow.Error, match="listing"):
        b.record(listing)
    with pytest.raises(FileNotFoundError):
        b.record(tmp_path / "no folder" / "s.session")
    b.record(tmp_path / "s.session")
    with pytest.raises(hc11flow.Error, match="already recording"):
        b.record(tmp_path / "t.session")
    with pytest.raises(TypeError):
        b.recording(42)
    b.stop_recording()
    assert listing.read_bytes() == before
    assert not (tmp_path / "t.session").exists()
