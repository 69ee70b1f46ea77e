"""Tiny programs for the module's tests, assembled by the fixture generator."""
import os
import subprocess
import textwrap

import pytest


def _tool(variable):
    path = os.environ.get(variable)
    if not path:
        pytest.skip(f"{variable} is not set (ctest sets it)")
    return path


@pytest.fixture
def assemble(tmp_path):
    """assemble(SOURCE, name="prog") -> the base path of the listing and HEX made from SOURCE."""
    lstgen = _tool("HC11_LSTGEN")

    def make(source, name="prog"):
        asm = tmp_path / f"{name}.asm"
        asm.write_text(textwrap.dedent(source))
        base = tmp_path / name
        subprocess.run([lstgen, str(asm), str(base)], check=True, capture_output=True)
        return str(base)

    return make


@pytest.fixture
def cli():
    return _tool("HC11_CLI")


# A counting loop with a subroutine: A counts up at $10 three times per pass,
# X counts the passes.
LOOP = """
        org     $E000
debprog_
        ldS     #$00FF
        ldX     #$0000
        clrA
debut
        ldB     #3
boucle
        addA    #1
        stA     $10
        decB
        bne     boucle
        callr   compte
        jr      debut
compte
        incX
        ret
countdown
        decA
        bne     countdown
        ret
add5
        addA    #5
        ret
forever
        jr      forever
bad
        db      $41
table   db      $12,$34,$56,$78
        org     $FFFE
        dw      debprog_
        end
"""


@pytest.fixture
def loop(assemble):
    return assemble(LOOP, "loop")
