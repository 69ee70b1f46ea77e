#include <tuple>

#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

// The precomputed lookup must pick exactly the row the first-match search
// picks, shadowed rows included, for every byte after every prefix.
TEST(DecodeLookup, MatchesTheFirstMatchSearchForEveryPrefixAndOpcode) {
  for (std::uint8_t prefix : {0x00, 0x18, 0x1A, 0xCD, 0x42}) {
    for (int opcode = 0; opcode < 256; ++opcode) {
      SCOPED_TRACE(testing::Message() << "prefix " << int(prefix) << " opcode " << opcode);
      EXPECT_EQ(LookupRow(prefix, static_cast<std::uint8_t>(opcode)),
                FindRow(prefix, static_cast<std::uint8_t>(opcode)));
    }
  }
}

struct ModeCase {
  const char* name;
  Bytes bytes;
  int row;
  std::uint8_t mode;
  int length;
  // Expected latch fields; -1 = keep the 0xAA / 0xAAAA fill.
  int imm8 = -1, imm16 = -1, address = -1, indexed = -1, mask = -1, target = -1;
};

using DecoderTest = CoreTest;

TEST_F(DecoderTest, LatchesEveryOperandLayout) {
  constexpr std::uint16_t at = kCode;
  const std::vector<ModeCase> cases = {
      {"ldA immediate", {0x86, 0x12}, 11, 1, 2, 0x12},
      {"ldA indexed", {0xA6, 0x05}, 11, 5, 2, -1, -1, -1, 0x1005},
      {"ldA extended", {0xB6, 0x12, 0x34}, 11, 3, 3, -1, -1, 0x1234},
      {"ldD immediate", {0xCC, 0xBE, 0xEF}, 13, 2, 3, -1, 0xBEEF},
      {"ldY indexed by Y", {0x18, 0xEE, 0x05}, 15, 5, 3, -1, -1, -1, 0x2005},
      {"cmpD extended", {0x1A, 0xB3, 0x12, 0x34}, 106, 3, 4, -1, -1, 0x1234},
      {"brset indexed", {0x1E, 0x10, 0x80, 0xFB}, 34, 5, 4, -1, -1, -1, 0x1010, 0x80, at + 4 - 5},
      {"brclr direct", {0x13, 0x20, 0x01, 0x10}, 33, 3, 4, -1, -1, 0x0020, -1, 0x01, at + 4 + 0x10},
      {"bset indexed by Y", {0x18, 0x1C, 0x05, 0x01}, 66, 5, 4, -1, -1, -1, 0x2005, 0x01},
      {"bclr direct", {0x15, 0x20, 0x04}, 61, 3, 3, -1, -1, 0x0020, -1, 0x04},
      {"callr", {0x8D, 0x10}, 19, 4, 2, -1, -1, -1, -1, -1, at + 2 + 0x10},
      {"inherent", {0x5A}, 7, 0, 1},
      {"lsl indexed", {0x68, 0x00}, 83, 5, 2, -1, -1, -1, 0x1000},
      // A refused "." slot decodes nothing and leaves the operand byte unread.
      {"stA immediate", {0x87, 0x55}, 115, 0, 1},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.name);
    m.cpu = CpuState{0, 0, 0x1000, 0x2000, 0x00FF, at, 0};
    m.CodeEnd = 0xFFFF;
    Place(at, c.bytes);
    Exec();
    const OperandLatch& l = m.latch;
    const bool prefixed = c.bytes[0] == 0x18 || c.bytes[0] == 0x1A;
    EXPECT_EQ(l.row, c.row);
    EXPECT_EQ(l.AddrMode, c.mode);
    EXPECT_EQ(l.prefix, prefixed ? c.bytes[0] : 0);
    EXPECT_EQ(l.imm8, c.imm8 < 0 ? 0xAA : c.imm8);
    EXPECT_EQ(l.imm16, c.imm16 < 0 ? 0xAAAA : c.imm16);
    EXPECT_EQ(l.address, c.address < 0 ? 0xAAAA : c.address);
    EXPECT_EQ(l.indexedAddress, c.indexed < 0 ? 0xAAAA : c.indexed);
    EXPECT_EQ(l.mask, c.mask < 0 ? 0xAA : c.mask);
    EXPECT_EQ(l.branchTarget, c.target < 0 ? 0xAAAA : c.target);
    // Taken transfers move PC elsewhere; everything else lands after the bytes.
    if (c.row != 19 && c.row != 33) {
      EXPECT_EQ(m.cpu.PC, at + c.length);
    }
  }
}

struct FailureCase {
  const char* name;
  Bytes bytes;
  std::string message;
  int pcAfter;  // offset from the start
};

// Also: the "debug once" box is cleared by every recognised instruction, but
// not by an opcode without a row.
TEST_F(DecoderTest, RefusalsStopWithTheirMessageAndChangeNothing) {
  const std::vector<FailureCase> cases = {
      {"opcode without a row", {0x41, 0x00}, "err inst  e000 41 ", 0},
      {"prefix CD outside its four opcodes", {0xCD, 0x83, 0x00, 0x00}, "err inst  e001 83 ", 1},
      {"prefixed opcode without a row", {0x18, 0x3D}, "err inst  e001 3d ", 1},
      {"a chip row's empty slot", {0x18, 0xCF}, "err inst  e001 cf ", 1},
      {"store immediate", {0x87, 0x55}, "Erreur code e001 87 stA .dXh", 1},
      {"brset by Y", {0x18, 0x1E, 0x05, 0x01, 0x02}, "Erreur code e005 1e brset Ymr", 5},
      {"ldY direct", {0x18, 0xDE, 0x10}, "Erreur code e003 de ldY jdYh", 3},
      {"subA indexed", {0xA0, 0x00}, "Erreur code e002 a0 subA idXh", 2},
      {"cmpX indexed", {0xAC, 0x00}, "Erreur code e002 ac cmpX jdXh", 2},
      {"lsl indexed", {0x68, 0x00}, "Erreur code e002 68 lsl Xh", 2},
      {"test", {0x00}, "Erreur code e001 0 test ", 1},
      {"negA", {0x40}, "Erreur code e001 40 negA ", 1},
      {"bitA immediate", {0x85, 0x01}, "Erreur code e002 85 bitA idXh", 2},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    Machine fresh{&hooks};
    fresh.cpu = CpuState{0x11, 0x22, 0x3333, 0x4444, 0x00F0, kCode, 0xC0};
    fresh.CodeEnd = 0xFFFF;
    std::copy(c.bytes.begin(), c.bytes.end(), fresh.Memory.begin() + kCode);
    const auto memoryBefore = fresh.Memory;
    DecodeAndExecute(fresh);
    EXPECT_TRUE(fresh.StopFlag);
    EXPECT_EQ(fresh.StopMessage, c.message);
    EXPECT_EQ(fresh.cpu.PC, kCode + c.pcAfter);
    EXPECT_EQ(std::tuple(fresh.cpu.A, fresh.cpu.B, fresh.cpu.X, fresh.cpu.Y, fresh.cpu.SP, fresh.cpu.CC),
              std::tuple(0x11, 0x22, 0x3333, 0x4444, 0x00F0, 0xC0));
    EXPECT_TRUE(fresh.Memory == memoryBefore);
  }
}

}  // namespace
}  // namespace hc11::test
