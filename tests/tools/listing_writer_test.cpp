// The column layout the simulator's listing reader depends on, and the HEX
// records of the code image.
#include "tools/lstgen/listing_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "tools/lstgen/assembly.h"

namespace hc11::lstgen {
namespace {

std::vector<std::string> ListingLines(std::string_view source) {
  const Assembly a = Assemble(source);
  EXPECT_TRUE(a.Ok());
  std::vector<std::string> lines;
  std::istringstream in(FormatListing(a));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Columns counted from 1, as the listing reader counts them.
std::string Columns(const std::string& line, std::size_t from, std::size_t to) {
  return line.substr(from - 1, to - from + 1);
}

TEST(ListingWriter, EveryKindOfLineInItsColumns) {
  const auto lines = ListingLines(
      "; heading\n"                                  // 1
      "ON      equ     $1234\n"                      // 2
      "        org     $E000\n"                      // 3
      "start:\n"                                     // 4
      "        ldY     #$1000          ; comment\n"  // 5
      "\n"                                           // 6
      "twice   macro\n"                              // 7
      "        incA\n"                               // 8
      "        endm\n"                               // 9
      "        twice\n"                              // 10
      "        db      1,2,3,4,5,6,7\n"              // 11
      "        end\n");                              // 12
  ASSERT_GE(lines.size(), 15u);
  struct Case {
    std::size_t index;
    const char* address;  // columns 1-4
    const char* code;     // columns 6-10
    const char* marks;    // columns 23-28: line number right-aligned, or the macro mark
    const char* source;   // from column 29
  };
  const Case cases[] = {
      {0, "    ", "     ", "    1 ", "; heading"},
      {1, "1234", "     ", "    2 ", "ON      equ $1234"},
      {2, "E000", "     ", "    3 ", "        org     $E000"},
      {3, "    ", "     ", "    4 ", "start"},
      {4, "E000", "18 CE", "    5 ", "        ldY     #$1000          ; comment"},
      {5, "    ", "     ", "    6 ", ""},
      {6, "E004", "     ", "    7 ", "twice   macro"},
      {8, "    ", "     ", "    9 ", "        endm"},
      {9, "    ", "     ", "   10 ", "        twice"},
      {10, "E004", "4C   ", "   1M ", "        incA"},
      {11, "E005", "01 02", "   11 ", "        db      1,2,3,4,5,6,7"},
      {12, "E00A", "06 07", "      ", ""},
      {13, "    ", "     ", "   12 ", "        end"},
  };
  for (const Case& c : cases) {
    const std::string& line = lines[c.index];
    SCOPED_TRACE(line);
    const std::string padded = line + std::string(80, ' ');
    EXPECT_EQ(Columns(padded, 1, 4), c.address);
    EXPECT_EQ(Columns(padded, 6, 10), c.code);
    EXPECT_EQ(Columns(padded, 23, 28), c.marks);
    EXPECT_EQ(line.size() > 28 ? line.substr(28) : std::string(), c.source);
  }
  // All five bytes of a longer instruction line, then nothing in 20-22.
  EXPECT_EQ(Columns(lines[4], 6, 22), "18 CE 10 00      ");
}

TEST(ListingWriter, SymbolSectionFollowsTheSymbolLine) {
  const auto lines = ListingLines(
      "UHF     equ     1\n"
      "        org     $E000\n"
      "debprog_ ldA    #1\n");
  std::size_t at = 0;
  while (at < lines.size() && lines[at].find("S Y M B O L") == std::string::npos) ++at;
  ASSERT_LT(at, lines.size());
  std::vector<std::string> symbols;
  for (std::size_t i = at + 1; i < lines.size(); ++i)
    if (!lines[i].empty()) symbols.push_back(lines[i]);
  ASSERT_EQ(symbols.size(), 2u);
  std::istringstream first(symbols[0]), second(symbols[1]);
  std::string name, value;
  first >> name >> value;
  EXPECT_EQ(name + " " + value, "debprog_ E000");
  second >> name >> value;
  EXPECT_EQ(name + " " + value, "UHF 0001");
}

TEST(ListingWriter, LongLabelsAndEndmWithAComment) {
  EXPECT_EQ(FormatSourceField("averylonglabel", "ldA", "#1", false, ""), "averylonglabel ldA     #1");
  EXPECT_EQ(FormatSourceField("", "endm", "", true, " done", FieldStyle::EndMacro), "        endm; done");
  EXPECT_EQ(FormatSourceField("", "", "", true, "only"), ";only");
}

TEST(HexWriter, RecordsOfAtMostSixteenBytesWithChecksums) {
  const Assembly a = Assemble(
      "        org     $E008\n"
      "        fill    $11,20\n"
      "        org     $FFFE\n"
      "        dw      $E000\n");
  ASSERT_TRUE(a.Ok());
  std::istringstream in(FormatHex(a.image));
  std::vector<std::string> records;
  for (std::string line; std::getline(in, line);) records.push_back(line);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], ":08E00800111111111111111188");
  EXPECT_EQ(records[1].substr(0, 9), ":0CE01000");
  EXPECT_EQ(records[2], ":02FFFE00E00021");
  EXPECT_EQ(records[3], ":00000001FF");
  for (const std::string& r : records) {
    SCOPED_TRACE(r);
    unsigned sum = 0;
    for (std::size_t i = 1; i + 1 < r.size(); i += 2) sum += std::stoul(r.substr(i, 2), nullptr, 16);
    EXPECT_EQ(sum & 0xFF, 0u);
  }
}

}  // namespace
}  // namespace hc11::lstgen
