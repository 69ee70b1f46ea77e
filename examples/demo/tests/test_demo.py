"""The demo firmware as its user sees it: the panel's keys and display, the
serial commands and their answers, and its routines one at a time."""
import pathlib

import pytest

import hc11flow

DEMO = str(pathlib.Path(__file__).resolve().parent.parent / "demo")

BOOT_MS = 40  # the banner, the configuration read and the first display
TICK_MS = 30  # long enough for a tick to redraw the display


def boot(board):
    board.serial.expect(b"VHF DEMO 1.0\r\n", ms=BOOT_MS)
    board.run(ms=TICK_MS)
    return board


def test_the_banner_comes_first(board):
    board.serial.expect(b"VHF DEMO 1.0\r\n", ms=BOOT_MS)


def test_the_display_shows_the_frequency_after_start_up(board):
    boot(board)
    assert board.display() == "5.80.0"  # the power LED and the open squelch light two points
    assert board.leds == {"Led1Ton": False, "Led2Hp": True, "Led3Klx": False, "Led4MA": True}


@pytest.mark.parametrize("keys, shown", [
    (["F+"], "5812"),
    (["F+", "F+"], "5825"),
    (["F-"], "5787"),
    (["Menu"], "5040"),  # S and the signal level 40
    (["Menu", "Menu"], "UoL5"),
    (["Menu", "Menu", "Menu"], "5800"),
    (["+"], "UoL6"),
    (["-", "-"], "UoL3"),
])
def test_keys_change_what_the_display_shows(board, keys, shown):
    boot(board)
    for key in keys:
        board.tap(key, ms=TICK_MS)
        board.run(ms=TICK_MS)
    assert board.display().replace(".", "") == shown


def test_the_signal_level_is_shown_as_set(board):
    boot(board)
    board.signal = 123
    board.tap("Menu", ms=TICK_MS)
    board.run(ms=TICK_MS)
    assert board.display().replace(".", "") == "5123"


def test_holding_on_off_shows_dashes(board):
    boot(board)
    board.press("M/A")
    board.run(ms=TICK_MS)
    assert board.display().replace(".", "") == "----"
    board.release("M/A")
    board.run(ms=TICK_MS)
    assert board.display().replace(".", "") == "5800"


@pytest.mark.parametrize("button, answer", [
    ("Sauv Cfg", b"\xa9\x00"),
    ("Rest Cfg", b"\xa8\x00"),
    ("Ecr ram", b"\xa4\x00"),
    ("EcrE2P", b"\xa5\x00"),
])
def test_each_command_button_gets_its_answer(board, button, answer):
    boot(board)
    board.serial.received()
    board.inject(button)
    board.serial.expect(answer, ms=50)


@pytest.mark.parametrize("message, answer", [
    (b"\xa6\x00\x00\x01", b"\xa6"),  # one configuration byte follows
    (b"\xa6\x00\x00\x00", b"\xa6\x01"),  # a count of 0 is refused
    (b"\xa6\x00\x00\x11", b"\xa6\x01"),  # and so is one above 16
    (b"\xa4\x01\x00\x01\x55", b"\xa4\x01"),  # below the user RAM
    (b"\xa5\x00\x0f\x02\x01\x02", b"\xa5\x01"),  # across an EEPROM page
    (b"\x42", b"\x3f\x42"),  # unknown: a NAK and the command
])
def test_serial_commands_get_their_designed_answers(board, message, answer):
    boot(board)
    board.serial.received()
    board.serial.send(message)
    board.serial.expect(answer, ms=50)


def test_ecr_ram_writes_the_user_ram(board):
    boot(board)
    board.inject("Ecr ram")
    board.serial.expect(b"\xa4\x00", ms=50)
    assert board.mem[0x0800:0x0810] == bytes(range(16))


def test_ecr_e2p_then_lec_e2p_reads_back_what_was_written(board):
    boot(board)
    board.inject("EcrE2P")
    board.serial.expect(b"\xa5\x00", ms=50)
    assert bytes(board.eeprom[0x320:0x330]) == bytes(range(16))
    board.serial.received()
    board.inject("LecE2P")
    board.serial.expect(b"\xa6" + bytes(range(5)), ms=50)


def test_an_unanswered_expect_names_what_came(board):
    with pytest.raises(hc11flow.Timeout, match="VHF"):
        board.serial.expect(b"never sent", ms=BOOT_MS)


def test_a_saved_configuration_survives_a_new_start(board):
    boot(board)
    board.tap("F+", ms=TICK_MS)
    board.tap("+", ms=TICK_MS)
    board.tap("#", ms=TICK_MS)  # save
    board.run(ms=TICK_MS)
    image = bytes(board.eeprom)
    fresh = hc11flow.open(DEMO)
    fresh.eeprom = image
    boot(fresh)
    assert fresh.display().replace(".", "") == "5812"


# key_decode reads adval (channels 0 to 6) and answers the key's code in A.
IDLE = [128, 128, 128, 128, 128, 255, 40]


@pytest.mark.parametrize("channel, level, code", [
    (0, 1, 9), (0, 253, 8),  # Menu, Memo
    (1, 1, 7), (1, 253, 6),  # +, 1700
    (2, 1, 5), (2, 253, 4),  # F+, -
    (3, 1, 3), (3, 253, 2),  # C+, F-
    (4, 253, 0),  # C-
    (5, 43, 10), (5, 111, 11), (5, 188, 12),  # PTT, #, *
    (None, None, 0xFF),  # no key
])
def test_key_decode(board, channel, level, code):
    board.run(until="main_loop")
    levels = list(IDLE)
    if channel is not None:
        levels[channel] = level
    board.mem[board.symbol("adval"):board.symbol("adval") + 7] = bytes(levels)
    r = board.call("key_decode", max_cycles=400)
    assert r.a == code


@pytest.mark.parametrize("ms", [1, 5, 20])
def test_tempo_waits_its_milliseconds(board, ms):
    board.run(until="main_loop")
    r = board.call("tempo", a=ms, max_cycles=2000 * ms)
    assert r.a == 0
    waited = r.cycles * 4000 / 3580
    assert 0.9 * ms * 1000 <= waited <= 1.1 * ms * 1000


def test_to_segments_turns_digits_into_patterns(board):
    board.run(until="main_loop")
    digits = board.symbol("digits")
    board.mem[digits:digits + 4] = bytes([1, 10, 11, 14])
    board.call("to_segments", max_cycles=1000)
    assert board.mem[digits:digits + 4] == bytes([0x06, 0x6D, 0x3E, 0x40])


def test_a_configuration_saved_before_a_power_cut_survives_it(booted_board):
    b = booted_board
    b.tap("+", ms=TICK_MS)  # volume 6
    b.inject("Sauv Cfg")
    b.serial.expect(b"\xa9\x00", ms=50)
    b.power_cut()
    b.power_on()
    boot(b)
    for _ in range(2):
        b.tap("Menu", ms=TICK_MS)
        b.run(ms=TICK_MS)
    assert b.display().replace(".", "") == "UoL6"


@pytest.mark.parametrize("steps", [50, 400, 1500, 3000])
def test_a_power_cut_during_the_eeprom_write_keeps_old_or_new_never_a_mix(booted_board, steps):
    b = booted_board
    old = bytes(b.eeprom[0:12])
    b.tap("+", ms=TICK_MS)
    b.inject("Sauv Cfg")
    b.power_cut(after_steps=steps)
    b.power_on()
    kept = bytes(b.eeprom[0:12])
    new = bytes([old[0] + 1]) + old[1:]
    assert kept in (old, new)


def test_booted_board_starts_after_the_start_up(booted_board):
    assert booted_board.display().replace(".", "") == "5800"
    assert booted_board.serial.received() == b""


def test_the_demo_still_does_what_its_recorded_session_did():
    # Recorded by scripts/regen-demo-session: keys, a serial command, the display and the replies.
    assert hc11flow.replay(pathlib.Path(DEMO).parent / "sessions" / "demo.session")
