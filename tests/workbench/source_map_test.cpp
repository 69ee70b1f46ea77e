// The listing text beside the flowchart: which file line an address shows
// on, which lines take a breakpoint, and the callee of a call line.
#include "workbench/source_map.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "listing/listing_loader.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

// The demo's line numbers in the file (1-based) of a few lines.
constexpr std::size_t kDebprog = 240;     // E000 ldS #STACK
constexpr std::size_t kLdY = 242;         // E006 18 CE 10 00, four bytes
constexpr std::size_t kPcfOnCall = 483;   // the macro call, no address
constexpr std::size_t kExpansion2 = 485;  // E168, second line of that expansion

class DemoSourceMap : public ::testing::Test {
 protected:
  void SetUp() override {
    std::uint16_t start = 0;
    ASSERT_TRUE(ReadListing(listing, kBase, start, messages));
    std::string error;
    ASSERT_TRUE(map.Read(kBase + ".lst", listing.ListingMap.get(), error)) << error;
  }
  const std::string kBase = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  Listing listing;
  RecordingMessages messages;
  SourceMap map;
};

TEST_F(DemoSourceMap, AddressesAndLinesFollowEachOther) {
  EXPECT_EQ(map.AddressOfLine(kDebprog - 1), 0xE000);
  EXPECT_EQ(map.LineOfAddress(0xE000), kDebprog - 1);
  // Every byte of a four-byte instruction shows on its line; the next
  // address belongs to the next line.
  for (std::uint16_t a : {0xE006, 0xE007, 0xE009}) EXPECT_EQ(map.LineOfAddress(a), kLdY - 1) << a;
  EXPECT_EQ(map.LineOfAddress(0xE00A), kLdY);
  // Each macro expansion line stands for its own address; the call line
  // itself has none.
  EXPECT_EQ(map.AddressOfLine(kExpansion2 - 1), 0xE168);
  EXPECT_EQ(map.LineOfAddress(0xE168), kExpansion2 - 1);
  EXPECT_EQ(map.AddressOfLine(kPcfOnCall - 1), std::nullopt);
  // Nothing past the program.
  EXPECT_EQ(map.LineOfAddress(0x0000), std::nullopt);
}

TEST_F(DemoSourceMap, OnlyLinesWithCodeStandForAnAddress) {
  std::size_t withAddressText = 0, code = 0;
  bool symbolSection = false;
  for (std::size_t i = 0; i < map.Size(); ++i) {
    const std::string& line = map.Lines()[i];
    symbolSection = symbolSection || line.find("S Y M B O L") != std::string::npos;
    const bool looksAddressed = line.size() > 4 && std::isxdigit(static_cast<unsigned char>(line[0]));
    if (looksAddressed) ++withAddressText;
    if (!map.AddressOfLine(i)) continue;
    ++code;
    EXPECT_FALSE(symbolSection) << "line " << i + 1;
    // "equ", "ds" and "macro" lines show an address but no code byte.
    for (const char* directive : {" equ ", " ds ", " macro"})
      EXPECT_EQ(line.find(directive), std::string::npos) << "line " << i + 1 << ": " << line;
  }
  EXPECT_GT(code, 500u);
  EXPECT_GT(withAddressText, code);
}

// A small listing: code lines inside a ";!macros" block are definitions to
// the reader, never code; a ";!endmacro" in the first column does not close
// the block.
TEST(SourceMapText, MacroBlocksAndMissingMapMarks) {
  const std::vector<std::string> lines = {
      "                          1 ;!macros",
      "E000 86 01                2 ;tempo:1S:attendre(%s)",
      ";!endmacro",
      "E002 86 02                3 ;still a definition",
      "                          4      ;!endmacro",
      "E004 86 03                5         ldA     #3",
      "E006 86 04                6         ldA     #4",
  };
  TListingMap marks{};
  marks[0xE004] = 'L';  // E006 was not placed by the reader (say, before "org")
  const SourceMap withMarks(lines, &marks);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(withMarks.AddressOfLine(i), std::nullopt) << i;
  EXPECT_EQ(withMarks.AddressOfLine(5), 0xE004);
  EXPECT_EQ(withMarks.AddressOfLine(6), std::nullopt);
  const SourceMap withoutMarks(lines, nullptr);
  EXPECT_EQ(withoutMarks.AddressOfLine(6), 0xE006);
  EXPECT_EQ(withoutMarks.LineOfAddress(0xE000), std::nullopt);
  // Out of range asks return nothing rather than reading past the lines.
  EXPECT_EQ(withoutMarks.AddressOfLine(99), std::nullopt);
  SourceMap missing;
  std::string error;
  EXPECT_FALSE(missing.Read("/nonexistent/x.lst", nullptr, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(missing.Size(), 0u);
}

TEST(SourceMapText, CalleeOfACallLine) {
  struct Case {
    const char* line;
    const char* callee;
  };
  const Case cases[] = {
      {"E045 BD E5 D4           272         call    send_banner", "send_banner"},
      {"E056 8D 1E              285         callr   adc_read", "adc_read"},
      {"E056 8D 1E              285 here    JSR     >far_one ; comment", "far_one"},
      {"E056 8D 1E              285         bsr     near", "near"},
      {"E056 AD 00              285         call    0,X", ""},
      {"E056 8D 1E              285         ldA     #1", ""},
      {"                        285 ; call    commented", ""},
      {"short", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CalleeOfSourceLine(c.line), c.callee) << c.line;
}

// A listing with lone CR endings, which the listing reader accepts, shows the
// same rows at the same addresses.
TEST_F(DemoSourceMap, LoneCrLineEndingsGiveTheSameRows) {
  std::string text;
  {
    std::ifstream in(kBase + ".lst", std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
  }
  std::string lone;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lone += text[i] == '\n' ? '\r' : text[i];
  }
  const std::string path = ::testing::TempDir() + "hc11_lone_cr_" + std::to_string(::getpid()) + ".lst";
  std::ofstream(path, std::ios::binary) << lone;
  SourceMap other;
  std::string error;
  ASSERT_TRUE(other.Read(path, listing.ListingMap.get(), error)) << error;
  std::remove(path.c_str());
  EXPECT_EQ(other.Lines(), map.Lines());
  EXPECT_EQ(other.LineOfAddress(0xE000), kDebprog - 1);
  EXPECT_EQ(other.AddressOfLine(kExpansion2 - 1), map.AddressOfLine(kExpansion2 - 1));
}

}  // namespace
}  // namespace hc11::test
