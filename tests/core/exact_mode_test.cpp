// The exact mode against the independent description of the chip in
// chip_reference.*: every opcode of the four pages, over tables of operand,
// register and flag values, compared in registers, memory, CC and E cycles;
// and the chip's rows, which run the same way in the designed mode with the
// designed count.
#include <gtest/gtest.h>

#include <memory>

#include "core/decoder.h"
#include "core/machine.h"
#include "core/run_engine.h"
#include "tests/core/chip_reference.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kCode = 0xE000;
constexpr std::uint16_t kWindow = 0x0200;  // data, indexed operands and stack

std::size_t SlotOf(std::uint8_t prefix) {
  std::size_t s = 0;
  while (kPrefixes[s] != prefix) ++s;
  return s;
}

const DecodeEntry& ExactEntry(const ref::Op& op) {
  return ExactDecoder().entries[SlotOf(op.prefix)][op.opcode];
}

TEST(ExactModeReference, EveryOpcodeHasTheDataSheetsLengthAndCycles) {
  const auto& ops = ref::Opcodes();
  EXPECT_EQ(ops.size(), 308u);
  for (const ref::Op& op : ops) {
    SCOPED_TRACE(testing::Message() << op.name << " " << std::hex << int{op.prefix} << " " << int{op.opcode});
    const DecodeEntry& e = ExactEntry(op);
    ASSERT_NE(e.info, nullptr);
    const Tinstx& row = InstructionTable[e.info->index];
    const std::size_t alt = static_cast<std::size_t>((op.opcode & row.mask) >> 4);
    EXPECT_EQ(CyclesOf(row, alt), op.cycles);
    Machine m;
    m.Exact = true;
    m.CodeEnd = 0xFFFF;
    m.Memory[kCode] = op.prefix != 0 ? op.prefix : op.opcode;
    m.Memory[kCode + 1] = op.opcode;
    m.cpu.PC = kCode;
    m.cpu.CC = FlagI;  // WAI and STOP then stop at once, with nothing to wake them
    m.cpu.SP = 0x01F0;
    // Operands that keep every transfer inside the window.
    std::fill(m.Memory.begin() + kCode + (op.prefix != 0 ? 2 : 1), m.Memory.begin() + kCode + 6, 0x00);
    DecodeAndExecute(m);
    if (op.name == "test") continue;  // the illegal-opcode trap: its own test
    const bool transfers = op.name == "jmp" || op.name == "jsr" || op.name == "rts" || op.name == "rti" ||
                           op.name == "bsr" || op.name == "wai" || op.name == "stop" || op.name == "swi" ||
                           op.mode == ref::Mode::Rel || op.name.starts_with("brset") ||
                           op.name.starts_with("brclr");
    if (!transfers) {
      EXPECT_EQ(m.cpu.PC, kCode + ref::Length(op));
    }
  }
}

struct Values {
  std::uint8_t a, m, cc;
};

// Operands, accumulators and flags: signs, carries, half carries, BCD
// digits, zero and all ones.
std::vector<Values> ValueTable() {
  const std::uint8_t bytes[] = {0x00, 0x01, 0x09, 0x0F, 0x7F, 0x80, 0x99, 0xFF};
  const std::uint8_t flags[] = {0x00, 0x21, 0x0E, 0xDF};
  std::vector<Values> out;
  for (std::uint8_t a : bytes)
    for (std::uint8_t m : bytes)
      for (std::uint8_t cc : flags) out.push_back({a, m, cc});
  return out;
}

// One state for both sides: the operand at every place an operand can be
// (direct $40, extended $0050, X + 5, Y + 5, immediate), a stack full of
// distinct bytes, code at kCode with the operand bytes after the opcode.
void Prepare(ref::Cpu& c, const ref::Op& op, const Values& v) {
  std::fill(c.mem.begin(), c.mem.begin() + kWindow, 0);
  c.a = v.a;
  c.b = static_cast<std::uint8_t>(v.a ^ 0x3C);
  c.cc = v.cc;
  c.x = static_cast<std::uint16_t>(0x0100 + (v.m & 7));
  c.y = static_cast<std::uint16_t>(0x0180 + (v.a & 7));
  c.sp = 0x01F0;
  c.pc = kCode;
  for (std::uint16_t at : {std::uint16_t{0x40}, std::uint16_t{0x50}, static_cast<std::uint16_t>(c.x + 5),
                           static_cast<std::uint16_t>(c.y + 5)}) {
    c.mem[at] = v.m;
    c.mem[at + 1] = static_cast<std::uint8_t>(v.m ^ 0x5A);
  }
  for (int i = 1; i <= 12; ++i) c.mem[0x01F0 + i] = static_cast<std::uint8_t>(v.m + 17 * i);
  std::uint16_t pc = kCode;
  if (op.prefix != 0) c.mem[pc++] = op.prefix;
  c.mem[pc++] = op.opcode;
  using M = ref::Mode;
  switch (op.mode) {
    case M::Imm8:
      c.mem[pc++] = v.m;
      break;
    case M::Imm16:
      c.mem[pc++] = v.m;
      c.mem[pc++] = static_cast<std::uint8_t>(v.m ^ 0x5A);
      break;
    case M::Dir:
    case M::DirBit:
    case M::DirBr:
      c.mem[pc++] = 0x40;
      break;
    case M::Ext:
      c.mem[pc++] = 0x00;
      c.mem[pc++] = 0x50;
      break;
    case M::IndX:
    case M::IndY:
    case M::IndXBit:
    case M::IndYBit:
    case M::IndXBr:
    case M::IndYBr:
      c.mem[pc++] = 0x05;
      break;
    default:
      break;
  }
  if (op.mode == M::DirBit || op.mode == M::IndXBit || op.mode == M::IndYBit || op.mode == M::DirBr ||
      op.mode == M::IndXBr || op.mode == M::IndYBr)
    c.mem[pc++] = static_cast<std::uint8_t>(v.a | 0x81);
  if (op.mode == M::Rel || op.mode == M::DirBr || op.mode == M::IndXBr || op.mode == M::IndYBr)
    c.mem[pc++] = 0x10;
}

void Copy(const ref::Cpu& c, Machine& m) {
  m.cpu = CpuState{c.a, c.b, c.x, c.y, c.sp, c.pc, c.cc};
  std::copy(c.mem.begin(), c.mem.begin() + kWindow, m.Memory.begin());
  std::copy(c.mem.begin() + kCode, c.mem.begin() + kCode + 8, m.Memory.begin() + kCode);
  m.IrqCounter = 0;
  m.StopFlag = false;
  m.StopMessage.clear();
}

// Runs every opcode the model describes over the value table in one mode;
// `count` gives the designed or exact count the step must add.
template <class Count>
void CompareWithReference(bool exact, bool chipRowsOnly, Count count) {
  auto machine = std::make_unique<Machine>();
  Machine& m = *machine;
  m.Exact = exact;
  m.CodeEnd = 0xFFFF;
  auto c = std::make_unique<ref::Cpu>();
  int compared = 0;
  for (const ref::Op& op : ref::Opcodes()) {
    const DecodeEntry& e = exact ? ExactEntry(op) : Decoder().entries[SlotOf(op.prefix)][op.opcode];
    if (chipRowsOnly && (e.info == nullptr || IsDesignedRow(e.info->index))) continue;
    for (const Values& v : ValueTable()) {
      Prepare(*c, op, v);
      Copy(*c, m);
      if (!ref::Execute(*c)) break;  // WAI, STOP, SWI, TEST: their own tests
      const std::int64_t before = m.CycleCount;
      ASSERT_TRUE(Step(m));
      SCOPED_TRACE(testing::Message() << op.name << " " << std::hex << int{op.prefix} << " " << int{op.opcode}
                                      << " A=" << int{v.a} << " M=" << int{v.m} << " CC=" << int{v.cc});
      ASSERT_FALSE(m.StopFlag) << m.StopMessage;
      ASSERT_EQ(std::tuple(m.cpu.A, m.cpu.B, m.cpu.X, m.cpu.Y, m.cpu.SP, m.cpu.PC, m.cpu.CC),
                std::tuple(c->a, c->b, c->x, c->y, c->sp, c->pc, c->cc));
      ASSERT_TRUE(std::equal(c->mem.begin(), c->mem.begin() + kWindow, m.Memory.begin()));
      ASSERT_EQ(m.CycleCount - before, count(op, c->pc));
      ++compared;
    }
  }
  EXPECT_GT(compared, chipRowsOnly ? 5000 : 70000);
}

TEST(ExactModeReference, EveryOpcodeOverOperandAndFlagTablesMatchesTheChip) {
  CompareWithReference(true, false, [](const ref::Op& op, std::uint16_t) { return op.cycles; });
}

// In the designed mode the chip's rows give the chip's results and count as
// the design counts: one per step, one more for a taken transfer.
TEST(ExactModeReference, TheChipsRowsRunAsTheChipInTheDesignedModeWithTheDesignedCount) {
  CompareWithReference(false, true, [](const ref::Op& op, std::uint16_t pc) {
    const bool fallsThrough = pc == kCode + ref::Length(op);
    const bool returns = op.name == "rts" || op.name == "rti";
    return 1 + ((!fallsThrough || returns) ? 1 : 0);
  });
}

}  // namespace
}  // namespace hc11::test
