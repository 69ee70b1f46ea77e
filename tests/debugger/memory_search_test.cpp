// "Chercher en mémoire": what each typed pattern means, what it refuses, and
// where it is found in a small memory.
#include "debugger/memory_search.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace hc11 {
namespace {

std::string Shown(const MemorySearch& s) {
  std::string out;
  for (std::size_t i = 0; i < s.bytes.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", s.bytes[i]);
    out += (out.empty() ? "" : " ") + (s.any[i] ? std::string("??") : std::string(byte));
  }
  if (s.range) {
    char range[16];
    std::snprintf(range, sizeof range, " @%04X-%04X", s.range->first, s.range->last);
    out += range;
  }
  return out;
}

TEST(MemorySearchTest, PatternsReadAsTheirBytes) {
  const struct {
    const char* text;
    const char* bytes;
  } cases[] = {
      {"86 ?? 10", "86 ?? 10"},
      {"  86,?,$10  ", "86 ?? 10"},
      {"0x86 a", "86 0A"},
      {"CE1000", "CE 10 00"},
      {"\"MENU\"", "4D 45 4E 55"},
      {"\"a b\"", "61 20 62"},
      {"\"say \\\"hi\\\" \\\\\"", "73 61 79 20 22 68 69 22 20 5C"},
      {"\"\xC3\xA9t\xC3\xA9\"", "E9 74 E9"},  // Latin-1 letters typed in UTF-8
      {".w $1234", "12 34"},
      {".W 0x7", "00 07"},
      {".w ??", "?? ??"},
      {"86\"A\".w 1", "86 41 00 01"},
      {"86 ?? @E000-E0FF", "86 ?? @E000-E0FF"},
      {"\"@\" @$10", "40 @0010-FFFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParsedMemorySearch p = ParseMemorySearch(c.text);
    ASSERT_TRUE(p.search) << p.error;
    EXPECT_EQ(Shown(*p.search), c.bytes);
  }
}

TEST(MemorySearchTest, BadPatternsAreRefusedWithTheirReason) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"", "motif vide"},
      {"  , ", "motif vide"},
      {"\"\"", "motif vide"},
      {"86 zz", "'zz' n'est ni"},
      {"123", "impair"},
      {"\"MENU", "guillemet fermant"},
      {"\"\xE2\x82\xAC\"", "Latin-1"},  // the euro sign has no byte
      {"\"\xC3\"", "Latin-1"},          // a sequence cut short
      {".w", ".w: un mot"},
      {".w 12345", ".w: un mot"},
      {"86 @", "plage vide"},
      {"86 @E100-E000", "le début passe la fin"},
      {"86 @E000-", "plage: DEBUT-FIN"},
      {"86 @10000", "plage: DEBUT-FIN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParsedMemorySearch p = ParseMemorySearch(c.text);
    EXPECT_FALSE(p.search);
    EXPECT_NE(p.error.find(c.reason), std::string::npos) << p.error;
  }
  std::string longest;
  for (std::size_t i = 0; i < kMaxPatternBytes; ++i) longest += "?? ";
  EXPECT_TRUE(ParseMemorySearch(longest).search);
  EXPECT_NE(ParseMemorySearch(longest + "00").error.find("trop long"), std::string::npos);
}

TEST(MemorySearchTest, FindsEveryWholeMatchWithinTheRange) {
  std::array<std::uint8_t, 32> mem{};
  const std::vector<std::uint8_t> bytes = {0x86, 0x01, 0x10, 0x86, 0x86, 0x10,
                                           'M',  'E',  'N',  'U',  0x12, 0x34};
  std::copy(bytes.begin(), bytes.end(), mem.begin() + 4);
  mem[30] = 0x86;
  mem[31] = 0x86;  // a match cut by the end of memory is no match
  const struct {
    const char* pattern;
    std::vector<std::uint16_t> found;
  } cases[] = {
      {"86 ?? 10", {4, 7}},
      {"86 86", {7, 30}},
      {"86 86 ??", {7}},
      {"\"MENU\"", {10}},
      {".w $1234", {14}},
      {".w $3412", {}},
      {"86 @5-1F", {7, 8, 30, 31}},
      {"86 @0-7", {4, 7}},
      {"86 ?? @7-9", {7, 8}},
      {"86 ?? @7-8", {7}},  // the match at 8 would end past the range
      {"10 @7-8", {}},
      {"?? ?? @1E-1F", {30}},
      {"86 @40-50", {}},  // beyond this memory
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    const ParsedMemorySearch p = ParseMemorySearch(c.pattern);
    ASSERT_TRUE(p.search) << p.error;
    EXPECT_EQ(FindAll(mem, *p.search), c.found);
  }
}

TEST(MemorySearchTest, NextMatchWrapsRoundToTheFirst) {
  std::array<std::uint8_t, 16> mem{};
  mem[3] = mem[9] = 0xAA;
  const MemorySearch s = *ParseMemorySearch("AA").search;
  const struct {
    std::uint32_t from;
    std::uint16_t address;
    bool wrapped;
  } cases[] = {{0, 3, false}, {3, 3, false}, {4, 9, false}, {10, 3, true}, {16, 3, true}, {70000, 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const auto f = FindFrom(mem, s, c.from);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->address, c.address);
    EXPECT_EQ(f->wrapped, c.wrapped);
  }
  EXPECT_FALSE(FindFrom(mem, *ParseMemorySearch("BB").search, 0));
  EXPECT_FALSE(FindFrom({}, s, 0));
}

TEST(MemorySearchTest, RangeFieldAloneOrEmpty) {
  std::optional<AddressRange> r;
  std::string error;
  ASSERT_TRUE(ParseAddressRange("  ", r, error));
  EXPECT_FALSE(r);
  ASSERT_TRUE(ParseAddressRange(" $E000 - 0xE0ff ", r, error));
  EXPECT_EQ(r->first, 0xE000u);
  EXPECT_EQ(r->last, 0xE0FFu);
  ASSERT_TRUE(ParseAddressRange("FF00", r, error));
  EXPECT_EQ(r->last, 0xFFFFu);
  EXPECT_FALSE(ParseAddressRange("E0-zz", r, error));
  EXPECT_FALSE(r);
}

}  // namespace
}  // namespace hc11
