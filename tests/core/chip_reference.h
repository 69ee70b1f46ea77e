// An independent description of the 68HC11, written from the data sheet's
// opcode map and instruction set table for the differential tests of the
// exact mode: every opcode of the four pages with its addressing mode, its
// length and its E cycles, and a small model of each instruction's results
// that shares nothing with the simulator's executor.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hc11::test::ref {

enum class Mode {
  Inh,
  Imm8,
  Imm16,
  Dir,
  Ext,
  IndX,
  IndY,
  Rel,
  DirBit,
  IndXBit,
  IndYBit,
  DirBr,
  IndXBr,
  IndYBr
};

struct Op {
  std::uint8_t prefix;  // 0, 0x18, 0x1A or 0xCD
  std::uint8_t opcode;
  std::string name;  // Motorola spelling
  Mode mode;
  int cycles;
};

// The bytes after the opcode.
int OperandBytes(Mode mode);
int Length(const Op& op);

// All 308 (TEST included).
const std::vector<Op>& Opcodes();

struct Cpu {
  std::uint8_t a = 0, b = 0, cc = 0;
  std::uint16_t x = 0, y = 0, sp = 0, pc = 0;
  std::array<std::uint8_t, 65536> mem{};
};

// One instruction at cpu.pc as the chip executes it; false for what the
// model leaves to dedicated tests (WAI, STOP, SWI, TEST, the multi-step
// divisions' undefined remainders are modelled).
bool Execute(Cpu& cpu);

}  // namespace hc11::test::ref
