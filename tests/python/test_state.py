"""Registers, memory, symbols and reads, as a test sees and edits them."""
import pytest

import hc11flow

REGISTERS = [("a", 0xFF), ("b", 0xFF), ("cc", 0xFF), ("d", 0xFFFF), ("x", 0xFFFF), ("y", 0xFFFF),
             ("sp", 0xFFFF), ("pc", 0xFFFF)]


@pytest.mark.parametrize("name, most", REGISTERS)
def test_registers_read_back_what_was_written_and_refuse_what_does_not_fit(loop, name, most):
    b = hc11flow.open(loop)
    setattr(b, name, most)
    assert getattr(b, name) == most
    for bad in (most + 1, -1):
        with pytest.raises(ValueError):
            setattr(b, name, bad)
    assert getattr(b, name) == most


def test_d_is_a_and_b(loop):
    b = hc11flow.open(loop)
    b.d = 0x1234
    assert (b.a, b.b) == (0x12, 0x34)
    b.a = 0xAB
    assert b.d == 0xAB34


def test_edited_registers_are_what_the_program_runs_with(loop):
    b = hc11flow.open(loop)
    b.run(until="boucle")
    b.a = 0x40
    b.run(steps=2)  # addA #1, stA $10
    assert b.mem[0x10] == 0x41


def test_memory_bytes_and_slices(loop):
    b = hc11flow.open(loop)
    b.mem[0x20] = 0x5A
    assert b.mem[0x20] == 0x5A
    b.mem[0x30:0x34] = b"\x01\x02\x03\x04"
    assert b.mem[0x30:0x34] == b"\x01\x02\x03\x04"
    assert b.mem[0xFFFE:] == bytes([0xE0, 0x00])
    assert len(b.mem) == 0x10000


@pytest.mark.parametrize("action, error", [
    (lambda m: m[0x10000], IndexError),
    (lambda m: m[-1], IndexError),
    (lambda m: m.__setitem__(0x20, 256), ValueError),
    (lambda m: m.__setitem__(slice(0x30, 0x34), b"\x01"), ValueError),
    (lambda m: m[0:10:2], ValueError),
])
def test_bad_memory_accesses_are_refused(loop, action, error):
    b = hc11flow.open(loop)
    before = b.mem[0:0x100]
    with pytest.raises(error):
        action(b.mem)
    assert b.mem[0:0x100] == before


def test_symbols_and_big_endian_reads(loop):
    b = hc11flow.open(loop)
    table = b.symbol("table")
    assert b.read("table") == 0x12
    assert b.read("table", size=4) == 0x12345678
    assert b.read(table + 2, size=2) == 0x5678
    with pytest.raises(hc11flow.Error, match="nowhere"):
        b.symbol("nowhere")
    with pytest.raises(ValueError):
        b.read(0xFFFF, size=2)


@pytest.mark.parametrize("fmt, size, count, value, text", [
    ("$", 1, 1, b"\x2a", "   2a"),
    ("D", 2, 1, b"\x01\x00", "    256"),
    ("d", 2, 1, b"\xff\xfe", "  -2"),
    ("d", 1, 1, b"\xff", " 255"),  # one byte is taken unsigned
    ("b", 1, 3, b"\x05\x00\x01", " 1 0 1"),  # one bit per element: set or not
    ("S", 1, 3, b"abc", "abc"),
])
def test_watch_gives_the_value_text_the_watch_list_shows(loop, fmt, size, count, value, text):
    b = hc11flow.open(loop)
    b.mem[0x40:0x40 + len(value)] = value
    assert b.watch(0x40, fmt=fmt, size=size, count=count) == text


def test_a_watch_larger_than_a_block_says_so(loop):
    b = hc11flow.open(loop)
    assert "bloc" in b.watch(0x40, size=16, count=3)


def test_watch_refuses_an_unknown_format(loop):
    b = hc11flow.open(loop)
    with pytest.raises(ValueError):
        b.watch(0x40, fmt="q")
