// Whole line lists through every rewriting pass, compared with golden files.
//
// Golden files live in tests/flowchart/golden/. After a deliberate change of
// the rewriting, regenerate them with
//   HC11_UPDATE_GOLDEN=1 ctest -R PseudoGolden
// and review the diff. Each output line is one record as `hc11flow-cli pseudo`
// prints it: AddrText, AddrEndText, Label, Text, Target, Comment, Traite.
//
// pseudo_rules.in describes a hand-built line list, one record per line with
// tab-separated fields: address, first and second code byte (hex, empty for
// none), label, text, target, comment, end address. "macro<TAB>name<TAB>
// pattern<TAB>template" lines fill the macro table; "#" lines are notes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "flowchart/pseudo_code.h"
#include "listing/listing_files.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

const std::string kGoldenDir = std::string(HC11_SOURCE_DIR) + "/tests/flowchart/golden/";

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::uint8_t Byte(const std::string& hex, std::uint8_t none) {
  return hex.empty() ? none : static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16));
}

Listing ReadRules(const std::string& path) {
  Listing listing;
  std::ifstream in(path);
  EXPECT_TRUE(in.is_open()) << path;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = SplitTabs(line);
    f.resize(8);
    if (f[0] == "macro") {
      listing.Macros.push_back({f[1], f[2], f[3]});
      continue;
    }
    TSynElem e;
    e.AddrText = f[0];
    e.Op1 = Byte(f[1], 0x18);
    e.Op2 = Byte(f[2], 0);
    e.Label = f[3];
    e.Text = f[4];
    e.Target = f[5];
    e.Comment = f[6];
    e.AddrEndText = f[7];
    listing.LineList.push_back(e);
  }
  return listing;
}

std::string Dump(const TListSyn& lines) {
  std::string out;
  for (const TSynElem& e : lines) out += PseudoLineRecord(e) + "\n";
  return out;
}

void CompareWithGolden(const std::string& actual, const std::string& name) {
  const std::string path = kGoldenDir + name;
  const char* update = std::getenv("HC11_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(WriteFileWhole(path, actual)) << path;
    return;
  }
  const auto expected = ReadWholeFile(path);
  ASSERT_TRUE(expected.has_value()) << "missing " << path << " (run with HC11_UPDATE_GOLDEN=1)";
  EXPECT_EQ(actual, *expected);
}

TEST(PseudoGolden, HandBuiltProgram) {
  Listing listing = ReadRules(kGoldenDir + "pseudo_rules.in");
  ASSERT_FALSE(listing.LineList.empty());
  ConvertAll(listing);
  CompareWithGolden(Dump(listing.LineList), "pseudo_rules.txt");
}

TEST(PseudoGolden, EmptyListStaysEmpty) {
  Listing listing;
  listing.Macros.push_back({"tempo", "1S", "%s"});
  ConvertAll(listing);
  EXPECT_TRUE(listing.LineList.empty());
}

// The demo firmware as `hc11flow-cli pseudo examples/demo/demo` prints it.
TEST(PseudoGolden, DemoFirmware) {
  const std::string demo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  if (!ReadWholeFile(demo + ".lst")) GTEST_SKIP() << "no " << demo << ".lst";
  std::ostringstream out;
  test::RecordingMessages messages;
  ASSERT_TRUE(WritePseudoListing(demo, out, messages));
  for (const auto& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
  CompareWithGolden(out.str(), "pseudo_demo.txt");
}

TEST(PseudoGolden, MissingListingWritesNothing) {
  std::ostringstream out;
  test::RecordingMessages messages;
  EXPECT_FALSE(WritePseudoListing(std::string(HC11_SOURCE_DIR) + "/examples/no_such_program", out, messages));
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace hc11
