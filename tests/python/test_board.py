"""The board's panel through the module: inputs, refusals and what it shows."""
import pathlib

import pytest

import hc11flow

DEMO = str(pathlib.Path(__file__).resolve().parents[2] / "examples" / "demo" / "demo")


@pytest.fixture
def demo():
    return hc11flow.open(DEMO)


@pytest.mark.parametrize("action", [
    lambda b: b.press("Enter"),
    lambda b: b.release(""),
    lambda b: b.tap("m/a"),
    lambda b: b.inject("Sauv"),
])
def test_unknown_captions_raise_and_change_nothing(demo, action):
    before = demo.digest()
    with pytest.raises(hc11flow.Error, match="unknown"):
        action(demo)
    assert demo.digest() == before


@pytest.mark.parametrize("name, good, bad", [
    ("signal", [0, 255], [256, -1]),
    ("ocfreq", [0, 145650], [-5]),
])
def test_panel_values(demo, name, good, bad):
    for v in good:
        setattr(demo, name, v)
        assert getattr(demo, name) == v
    for v in bad:
        with pytest.raises(ValueError):
            setattr(demo, name, v)


def test_channel_busy_box(demo):
    demo.oc = True
    assert demo.oc is True
    demo.oc = False
    assert demo.oc is False


def test_eeprom_is_writable_whole_or_by_byte(demo):
    assert len(bytes(demo.eeprom)) == 2048
    demo.eeprom[5] = 0x77
    assert demo.eeprom[5] == 0x77
    demo.eeprom = bytes(range(256)) * 8
    assert demo.eeprom[0x1FF] == 0xFF
    for bad in (b"", bytes(2047), bytes(2049)):
        with pytest.raises(ValueError):
            demo.eeprom = bad
    with pytest.raises(ValueError):
        demo.eeprom[2048] = 1


@pytest.mark.parametrize("message", [b"", bytes(201)])
def test_serial_messages_the_buffer_cannot_hold_are_refused(demo, message):
    with pytest.raises(ValueError):
        demo.serial.send(message)


def test_received_gives_each_byte_once(demo):
    demo.serial.expect(b"VHF", ms=40)
    demo.run(ms=5)
    rest = demo.serial.received()
    assert rest.startswith(b" DEMO 1.0\r\n")
    assert demo.serial.received() == b""


def test_going_back_does_not_receive_the_replayed_bytes_again(demo):
    demo.record(True)
    demo.serial.expect(b"VHF DEMO", ms=40)
    demo.serial.received()
    demo.run_back()
    demo.run(ms=5)
    assert demo.serial.received().startswith(b"VHF DEMO")


def test_display_segments_leds_and_synth_after_start_up(demo):
    demo.run(ms=80)
    segments = demo.segments()
    assert len(segments) == 4
    text = demo.display()
    assert text.replace(".", "") == "5800"
    assert text.count(".") == sum(1 for s in segments if s & 0x80)
    assert set(demo.leds) == {"Led1Ton", "Led2Hp", "Led3Klx", "Led4MA"}
    synth = demo.synth
    assert synth["transmitting"] is False
    assert synth["text"].startswith("Reception")
    assert str(synth["frequency_khz"]) in synth["text"]
