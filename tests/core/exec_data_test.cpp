// Loads, stores, arithmetic, logic, shifts and division on tiny programs.
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint8_t N = FlagN, Z = FlagZ, V = FlagV, C = FlagC;

using ExecDataTest = CoreTest;

struct RegisterCase {
  const char* name;
  std::uint16_t d, x, y;  // d: A in the high byte, B in the low byte
  std::uint8_t ccIn;
  Bytes code;
  std::uint16_t dOut, xOut, yOut;
  std::uint8_t flags;  // N Z V C after the instruction
};

TEST_F(ExecDataTest, RegisterOperationsFollowTheFlagRules) {
  const std::vector<RegisterCase> cases = {
      {"addA overflow", 0x7F00, 0, 0, 0, {0x8B, 0x01}, 0x8000, 0, 0, N | V},
      {"addA ignores incoming carry", 0x0100, 0, 0, C, {0x8B, 0x01}, 0x0200, 0, 0, 0},
      {"adcA wraps with carry", 0xFF00, 0, 0, C, {0x89, 0xFF}, 0xFF00, 0, 0, N | C},
      {"aBA", 0x8080, 0, 0, 0, {0x1B}, 0x0080, 0, 0, Z | V | C},
      {"subA overflow", 0x8000, 0, 0, 0, {0x80, 0x01}, 0x7F00, 0, 0, V},
      {"sbcA borrows", 0x0000, 0, 0, C, {0x82, 0x00}, 0xFF00, 0, 0, N | C},
      {"cmpA leaves A", 0x0000, 0, 0, 0, {0x81, 0x01}, 0x0000, 0, 0, N | C},
      {"cmpB equal", 0x0042, 0, 0, C, {0xC1, 0x42}, 0x0042, 0, 0, Z},
      {"andA keeps C, clears V", 0xF300, 0, 0, C | V, {0x84, 0x0F}, 0x0300, 0, 0, C},
      {"oraA", 0x0100, 0, 0, 0, {0x8A, 0x80}, 0x8100, 0, 0, N},
      {"xorA", 0xFF00, 0, 0, 0, {0x88, 0xFF}, 0x0000, 0, 0, Z},
      {"comA", 0xFF00, 0, 0, V, {0x43}, 0x0000, 0, 0, Z | C},
      {"comB", 0x0000, 0, 0, 0, {0x53}, 0x00FF, 0, 0, N | C},
      {"decA overflow keeps C", 0x8000, 0, 0, C, {0x4A}, 0x7F00, 0, 0, V | C},
      {"decB to zero", 0x0001, 0, 0, 0, {0x5A}, 0x0000, 0, 0, Z},
      {"incA overflow", 0x7F00, 0, 0, 0, {0x4C}, 0x8000, 0, 0, N | V},
      {"incB wraps", 0x00FF, 0, 0, C, {0x5C}, 0x0000, 0, 0, Z | C},
      {"lslA", 0x8000, 0, 0, 0, {0x48}, 0x0000, 0, 0, Z | V | C},
      {"lslB", 0x0040, 0, 0, C, {0x58}, 0x0080, 0, 0, N | V},
      {"lsrA", 0x0100, 0, 0, N, {0x44}, 0x0000, 0, 0, Z | V | C},
      {"tstA clears V and C", 0x8000, 0, 0, V | C, {0x4D}, 0x8000, 0, 0, N},
      {"tAB", 0x8000, 0, 0, C, {0x16}, 0x8080, 0, 0, N | C},
      {"tBA", 0x0000, 0, 0, N, {0x17}, 0x0000, 0, 0, Z},
      {"clrA", 0x0500, 0, 0, N | V | C, {0x4F}, 0x0000, 0, 0, Z},
      {"ldA clears V", 0x5500, 0, 0, V | C, {0x86, 0x00}, 0x0000, 0, 0, Z | C},
      {"mul", 0x1234, 0, 0, 0, {0x3D}, 0x03A8, 0, 0, C},
      {"lsrD", 0x0001, 0, 0, 0, {0x04}, 0x0000, 0, 0, Z | V | C},
      {"lslD", 0x8000, 0, 0, 0, {0x05}, 0x0000, 0, 0, Z | V | C},
      {"addD overflow", 0x7FFF, 0, 0, 0, {0xC3, 0x00, 0x01}, 0x8000, 0, 0, N | V},
      {"subD borrow", 0x0000, 0, 0, 0, {0x83, 0x00, 0x01}, 0xFFFF, 0, 0, N | C},
      {"cmpD", 0x0000, 0, 0, 0, {0x1A, 0x83, 0x00, 0x01}, 0x0000, 0, 0, N | C},
      {"cmpX equal", 0, 0x1234, 0, C, {0x8C, 0x12, 0x34}, 0, 0x1234, 0, Z},
      {"ldD", 0, 0, 0, V, {0xCC, 0x80, 0x00}, 0x8000, 0, 0, N},
      {"ldY", 0, 0, 0, 0, {0x18, 0xCE, 0x12, 0x34}, 0, 0, 0x1234, 0},
      {"idiv", 7, 2, 0, C | Z | V, {0x02}, 1, 3, 0, 0},
      {"idiv by zero", 7, 0, 0, 0, {0x02}, 7, 0xFFFF, 0, C},
      {"idiv to zero quotient", 1, 2, 0, 0, {0x02}, 1, 0, 0, Z},
      {"fdiv", 1, 2, 0, 0, {0x03}, 0, 0x8000, 0, 0},
      {"fdiv overflow", 2, 2, 0, 0, {0x03}, 2, 0xFFFF, 0, V},
      {"fdiv by zero", 0, 0, 0, 0, {0x03}, 0, 0xFFFF, 0, V | C},
      {"xgDX", 0x1234, 0xABCD, 0, 0, {0x8F}, 0xABCD, 0x1234, 0, 0},
      {"aBX", 0x0001, 0x00FF, 0, 0, {0x3A}, 0x0001, 0x0100, 0, 0},
      {"incX only Z", 0, 0xFFFF, 0, N | C, {0x08}, 0, 0x0000, 0, N | Z | C},
      {"incY", 0, 0, 0x00FF, Z, {0x18, 0x08}, 0, 0, 0x0100, 0},
      {"decX", 0, 0x0001, 0, 0, {0x09}, 0, 0x0000, 0, Z},
  };
  for (const RegisterCase& c : cases) {
    SCOPED_TRACE(c.name);
    m.SetD(c.d);
    m.cpu.X = c.x;
    m.cpu.Y = c.y;
    m.cpu.CC = static_cast<std::uint8_t>(0xC0 | c.ccIn);
    Run(c.code);
    EXPECT_EQ(m.GetD(), c.dOut);
    EXPECT_EQ(m.cpu.X, c.xOut);
    EXPECT_EQ(m.cpu.Y, c.yOut);
    EXPECT_EQ(Flags(), c.flags);
    EXPECT_EQ(m.cpu.CC & 0xF0, 0xC0) << "H, I, X and S are never computed";
  }
}

TEST_F(ExecDataTest, StackPointerAndConditionCodeTransfers) {
  Run({0x8E, 0x00, 0xFF});  // ldS #$00FF also moves the stack top
  EXPECT_EQ(m.StackTop, 0x00FF);
  Run({0x30});  // tSX
  EXPECT_EQ(m.cpu.X, 0x0100);
  m.cpu.X = 0x0200;
  Run({0x35});  // tXS
  Run({0x31});  // incS
  Run({0x34});  // decS
  EXPECT_EQ(m.cpu.SP, 0x01FF);
  m.cpu.CC = 0xD0;
  Run({0x07});  // tPA
  EXPECT_EQ(m.cpu.A, 0xD0);
  Run({0x0F});  // di does nothing
  Run({0x0E});  // cli
  EXPECT_EQ(m.cpu.CC, 0xC0);
}

struct MemoryCase {
  const char* name;
  Bytes code;
  std::uint16_t at;
  std::uint8_t before;
  std::uint16_t after;  // the byte at `at`, or the word there for 16-bit stores
  std::uint8_t flags;
  bool word = false;
};

TEST_F(ExecDataTest, StoresAndMemoryUpdates) {
  const std::vector<MemoryCase> cases = {
      {"stA direct", {0x97, 0x10}, 0x10, 0, 0x80, N},
      {"stB by Y", {0x18, 0xE7, 0x00}, 0x50, 0, 0x01, 0},
      {"stD direct, high byte first", {0xDD, 0x20}, 0x20, 0, 0x8001, N, true},
      {"stD by Y", {0x18, 0xED, 0x02}, 0x52, 0, 0x8001, N, true},
      {"stX by X", {0xEF, 0x01}, 0x41, 0, 0x0040, 0, true},
      {"inc extended", {0x7C, 0x00, 0x30}, 0x30, 0x7F, 0x80, N | V},
      {"dec indexed", {0x6A, 0x00}, 0x40, 0x00, 0xFF, N},
      {"lsl extended", {0x78, 0x00, 0x30}, 0x30, 0x80, 0x00, Z | V | C},
      {"clr indexed", {0x6F, 0x01}, 0x41, 0x55, 0x00, Z},
      {"bset leaves the flags", {0x14, 0x60, 0xF0}, 0x60, 0x0F, 0xFF, 0},
      {"bclr", {0x15, 0x60, 0x03}, 0x60, 0x0F, 0x0C, 0},
  };
  for (const MemoryCase& c : cases) {
    SCOPED_TRACE(c.name);
    m.cpu = CpuState{0x80, 0x01, 0x0040, 0x0050, 0, 0, 0};
    m.Memory[c.at] = c.before;
    Run(c.code);
    EXPECT_EQ(c.word ? m.Memory[c.at] << 8 | m.Memory[c.at + 1] : m.Memory[c.at], c.after);
    EXPECT_EQ(Flags(), c.flags);
  }
}

struct AccessCase {
  const char* name;
  Bytes code;
  std::size_t reads, writes8, writes16;
};

// Which operand accesses reach the board and which touch memory directly.
TEST_F(ExecDataTest, HookedAndDirectAccessesPerHandler) {
  const std::vector<AccessCase> cases = {
      {"ldA extended", {0xB6, 0x10, 0x31}, 1, 0, 0},
      {"ldX extended", {0xFE, 0x10, 0x30}, 2, 0, 0},
      {"ldD indexed", {0xEC, 0x30}, 2, 0, 0},
      {"addA extended", {0xBB, 0x10, 0x31}, 1, 0, 0},
      {"adcA indexed", {0xA9, 0x31}, 1, 0, 0},
      {"subA extended", {0xB0, 0x10, 0x31}, 1, 0, 0},
      {"cmpA indexed", {0xA1, 0x31}, 1, 0, 0},
      {"addD extended", {0xF3, 0x10, 0x30}, 2, 0, 0},
      {"oraA extended", {0xBA, 0x10, 0x31}, 1, 0, 0},
      {"oraA indexed is direct", {0xAA, 0x31}, 0, 0, 0},
      {"andA extended is direct", {0xB4, 0x10, 0x31}, 0, 0, 0},
      {"xorA extended is direct", {0xB8, 0x10, 0x31}, 0, 0, 0},
      {"cmpX extended is direct", {0xBC, 0x10, 0x30}, 0, 0, 0},
      {"brset indexed", {0x1E, 0x31, 0x01, 0x00}, 1, 0, 0},
      {"stA extended", {0xB7, 0x10, 0x00}, 0, 1, 0},
      {"clr extended", {0x7F, 0x10, 0x00}, 0, 1, 0},
      {"stD extended", {0xFD, 0x10, 0x1A}, 0, 2, 1},
      {"stX indexed", {0xEF, 0x1A}, 0, 2, 1},
      {"bset indexed reads direct, writes hooked", {0x1C, 0x00, 0x80}, 0, 1, 0},
      {"inc extended is direct", {0x7C, 0x10, 0x00}, 0, 0, 0},
      {"dec indexed is direct", {0x6A, 0x00}, 0, 0, 0},
      {"lsr extended is direct", {0x74, 0x10, 0x00}, 0, 0, 0},
  };
  for (const AccessCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDevices dev;
    m.SetPeripherals(&dev);
    m.cpu.X = 0x1000;
    m.Memory[0x1000] = 0x01;
    Run(c.code);
    EXPECT_EQ(dev.reads.size(), c.reads);
    EXPECT_EQ(dev.writes8.size(), c.writes8);
    EXPECT_EQ(dev.writes16.size(), c.writes16);
    m.SetPeripherals(nullptr);
  }
}

}  // namespace
}  // namespace hc11::test
