"""Opening a program: the forms PROGRAM takes, and the refusals."""
import os

import pytest

import hc11flow


def test_a_listing_its_base_and_its_hex_open_the_same_program(loop):
    digests = set()
    for program in (loop, loop + ".lst", loop + ".HEX"):
        b = hc11flow.open(program)
        assert b.pc == 0xE000
        b.run(steps=50)
        digests.add(b.digest())
    assert len(digests) == 1


def test_a_hex_alone_has_no_symbols(loop):
    b = hc11flow.open(loop + ".HEX")
    with pytest.raises(hc11flow.Error):
        b.symbol("compte")


@pytest.mark.parametrize("kwargs", [{}, {"settings": "missing.ini"}])
def test_missing_files_raise_file_not_found(loop, tmp_path, kwargs):
    program = str(tmp_path / "nothing") if not kwargs else loop
    if kwargs:
        kwargs = {"settings": str(tmp_path / kwargs["settings"])}
    with pytest.raises(FileNotFoundError, match="cannot read"):
        hc11flow.open(program, **kwargs)


def test_a_damaged_code_image_raises_the_loaders_message(loop, tmp_path):
    damaged = tmp_path / "damaged.HEX"
    damaged.write_text(":10E00000zz\n")
    with pytest.raises(hc11flow.Error) as raised:
        hc11flow.open(str(damaged))
    assert str(raised.value)


def test_error_and_timeout_are_one_family():
    assert issubclass(hc11flow.Timeout, hc11flow.Error)
    assert issubclass(hc11flow.Error, Exception)


def test_the_workspace_is_read_only_when_asked(loop, cli):
    import subprocess
    subprocess.run([cli, "run", loop, "--steps", "1", "--no-workspace", "--break", "E00A",
                    "--save-workspace", loop + ".Zan"], check=True, capture_output=True)
    assert os.path.exists(loop + ".Zan")
    assert len(hc11flow.open(loop).breakpoints) == 0
    assert len(hc11flow.open(loop, workspace=True).breakpoints) == 1
