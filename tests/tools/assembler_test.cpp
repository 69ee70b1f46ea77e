// The fixture generator as a whole: passes, directives, macros, conditional
// assembly and the messages bad sources get.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tools/lstgen/assembly.h"

namespace hc11::lstgen {
namespace {

std::vector<std::uint8_t> Bytes(const Assembly& a, std::uint16_t from, std::uint16_t to) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t addr = from; addr <= to; ++addr) {
    EXPECT_TRUE(a.image.Used(static_cast<std::uint16_t>(addr))) << std::hex << addr;
    out.push_back(a.image.At(static_cast<std::uint16_t>(addr)));
  }
  return out;
}

std::string Messages(const Assembly& a) {
  std::string out;
  for (const Diagnostic& d : a.diagnostics) out += std::to_string(d.line) + ": " + d.message + "\n";
  return out;
}

const ListingEntry* EntryForLine(const Assembly& a, int line) {
  for (const ListingEntry& e : a.listing)
    if (e.lineNumber == line && e.macroLevel == 0) return &e;
  return nullptr;
}

TEST(Assembler, ForwardReferencesKeepTheirFirstPassSize) {
  const Assembly a = Assemble(
      "        org     $E000\n"
      "start   ldA     later           ; not known yet: extended\n"
      "        ldA     early           ; known: direct\n"
      "        jr      ahead\n"
      "        call    ahead\n"
      "ahead   ret\n"
      "later   equ     $20\n"
      "early   equ     $30\n");
  // "early" is also defined after its use; both loads are extended.
  ASSERT_TRUE(a.Ok()) << Messages(a);
  EXPECT_EQ(Bytes(a, 0xE000, 0xE00A),
            (std::vector<std::uint8_t>{0xB6, 0x00, 0x20, 0xB6, 0x00, 0x30, 0x20, 0x03, 0xBD, 0xE0, 0x0B}));
  const Assembly b = Assemble(
      "early   equ     $30\n"
      "        org     $E000\n"
      "        ldA     early\n");
  EXPECT_EQ(Bytes(b, 0xE000, 0xE001), (std::vector<std::uint8_t>{0x96, 0x30}));
}

TEST(Assembler, DataDirectives) {
  const Assembly a = Assemble(
      "        org     $E000\n"
      "table   db      1,$FF,-1,\"AB\",'c'\n"
      "        dw      table,$1234\n"
      "        ds      3\n"
      "        fill    $AA,2\n"
      "after   equ     *\n");
  ASSERT_TRUE(a.Ok()) << Messages(a);
  EXPECT_EQ(Bytes(a, 0xE000, 0xE009),
            (std::vector<std::uint8_t>{0x01, 0xFF, 0xFF, 'A', 'B', 'c', 0xE0, 0x00, 0x12, 0x34}));
  EXPECT_FALSE(a.image.Used(0xE00A));  // ds reserves without writing
  EXPECT_EQ(Bytes(a, 0xE00D, 0xE00E), (std::vector<std::uint8_t>{0xAA, 0xAA}));
  bool found = false;
  for (const Symbol& s : a.symbols) found |= s.name == "after" && s.value == 0xE00F;
  EXPECT_TRUE(found);
}

TEST(Assembler, MacrosExpandWithArgumentsAndUniqueLabels) {
  const Assembly a = Assemble(
      "        org     $E000\n"
      "wait    macro\n"
      "        ldA     #\\1\n"
      "w\\@     decA\n"
      "        bne     w\\@\n"
      "        endm\n"
      "here    wait    3               ; first call\n"
      "        wait    $10\n");
  ASSERT_TRUE(a.Ok()) << Messages(a);
  EXPECT_EQ(Bytes(a, 0xE000, 0xE009),
            (std::vector<std::uint8_t>{0x86, 0x03, 0x4A, 0x26, 0xFD, 0x86, 0x10, 0x4A, 0x26, 0xFD}));
  // The call line carries no address; its expansion lines do, marked level 1.
  const ListingEntry* call = EntryForLine(a, 7);
  ASSERT_NE(call, nullptr);
  EXPECT_FALSE(call->address.has_value());
  int expansion = 0;
  for (const ListingEntry& e : a.listing)
    if (e.macroLevel == 1) {
      EXPECT_TRUE(e.address.has_value());
      ++expansion;
    }
  EXPECT_EQ(expansion, 6);
  // The definition line shows an address so the listing reader sees "macro".
  EXPECT_TRUE(EntryForLine(a, 2)->address.has_value());
  EXPECT_FALSE(EntryForLine(a, 3)->address.has_value());
}

TEST(Assembler, ConditionalsChooseOneBranch) {
  const Assembly a = Assemble(
      "ON      equ     1\n"
      "OFF     equ     0\n"
      "        org     $E000\n"
      "        if      ON\n"
      "        if      OFF\n"
      "        ldA     #1\n"
      "        else\n"
      "        ldA     #2\n"
      "        endif\n"
      "        else\n"
      "        ldA     #3\n"
      "        endif\n"
      "        if      OFF\n"
      "        this line is never read as code\n"
      "        endif\n");
  ASSERT_TRUE(a.Ok()) << Messages(a);
  EXPECT_EQ(Bytes(a, 0xE000, 0xE001), (std::vector<std::uint8_t>{0x86, 0x02}));
  EXPECT_FALSE(a.image.Used(0xE002));
  for (int line : {6, 11, 14}) {
    SCOPED_TRACE(line);
    ASSERT_NE(EntryForLine(a, line), nullptr);
    EXPECT_FALSE(EntryForLine(a, line)->address.has_value());
  }
}

TEST(Assembler, BadSourcesAreReportedWithTheirLine) {
  struct Case {
    const char* source;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"        org $E000\n        ldA nowhere\n", 2, "undefined symbol 'nowhere'"},
      {"        org $E000\nx1      frob\n", 2, "unknown instruction or directive 'frob'"},
      {"ldA     #1\n", 1, "in the first column is read as a label"},
      {"a       equ 1\na       equ 2\n", 2, "'a' is already defined on line 1"},
      {"        ds later\nlater   equ 3\n", 1, "'later' must be defined before this line"},
      {"        org $E000\n        db \"open\n", 2, "unterminated string"},
      {"        if NOPE\n        endif\n", 1, "'NOPE' must be defined before this if"},
      {"A       equ 1+1\n        if A\n        endif\n", 2, "plain number"},
      {"ON      equ 1\n        if ON\n", 2, "if without endif"},
      {"        endif\n", 1, "endif without if"},
      {"        else\n", 1, "else without if"},
      {"ON      equ 1\n        if ON\n        if ON\n        if ON\n        if ON\n        if ON\n        if "
       "ON\n",
       7, "deeper than 5"},
      {"m       macro\n        ldA #1\n", 1, "macro 'm' has no endm"},
      {"        endm\n", 1, "endm without macro"},
      {"m       macro\nn       macro\n        endm\n", 2, "cannot be defined inside another"},
      {"ldA     macro\n        endm\n", 1, "instruction or directive name"},
      {"        org $E000\n        ldA #1\n        org $E001\n        ldA #2\n", 4,
       "overwrites code already at $E001"},
      {"        org $FFFF\n        ldA #1\n", 2, "code runs past $FFFF"},
      {"        org $10000\n", 1, "org address out of range"},
      {"        equ 5\n", 1, "equ needs a name"},
      {"        fill 1\n", 1, "fill takes value,count"},
      {"        org $E000\n        db 256\n", 2, "byte value $100 out of range"},
      {"X       equ 1\n", 1, "index register"},
      {"        org $E000\nm       macro\n        ldA \\1\n        endm\n        m nowhere\n", 5,
       "undefined symbol 'nowhere' (in macro 'm', line 3)"},
      {"        end\n        ldA #1\n", 2, "lines after 'end' are ignored"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const Assembly a = Assemble(c.source);
    bool found = false;
    for (const Diagnostic& d : a.diagnostics)
      found |= d.line == c.line && d.message.find(c.message) != std::string::npos;
    EXPECT_TRUE(found) << Messages(a);
  }
}

TEST(Assembler, WarningsDoNotFailTheAssembly) {
  const Assembly a = Assemble("        org $E000\n        negA\n        end\n        trailing text\n");
  EXPECT_TRUE(a.Ok()) << Messages(a);
  EXPECT_EQ(a.diagnostics.size(), 2u);
}

// Arbitrary bytes and line shapes: messages, never a crash.
TEST(Assembler, ArbitraryInputNeverCrashes) {
  std::mt19937 rng(1234);
  const std::string pieces[] = {
      "ldA",  "#",     "$",   ",X",  ",Y", "'",     "\"",         ";",    ":",   "macro", "endm", "if",
      "else", "endif", "org", "equ", "db", "dw",    "ds",         "fill", "\\1", "\\@",   "*",    "(",
      ")",    "<",     ">",   "~",   "-",  "brset", "9999999999", "\t",   " ",   "lbl",   "\x01", "\xFF"};
  for (int round = 0; round < 200; ++round) {
    std::string source;
    for (int line = 0; line < 30; ++line) {
      const int count = static_cast<int>(rng() % 8);
      for (int i = 0; i < count; ++i) source += pieces[rng() % std::size(pieces)];
      source += '\n';
    }
    const Assembly a = Assemble(source);
    (void)a;
  }
  const Assembly huge = Assemble(std::string(100000, 'x') + "\n        ldA " + std::string(5000, '(') + "\n");
  EXPECT_FALSE(huge.Ok());
  EXPECT_NE(Messages(huge).find("nested too deeply"), std::string::npos);
}

}  // namespace
}  // namespace hc11::lstgen
