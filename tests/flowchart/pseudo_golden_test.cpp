// Whole line lists through every rewriting pass, compared with golden files.
//
// Golden files live in tests/flowchart/golden/. After a deliberate change of
// the rewriting, regenerate them with
//   HC11_UPDATE_GOLDEN=1 ctest -R PseudoGolden
// and review the diff. Each output line is one record as `hc11flow-cli pseudo`
// prints it: AddrText, AddrEndText, Label, Text, Target, Comment, Traite.
//
// pseudo_rules.in describes a hand-built line list, one record per line as
// Rec() reads it; "macro|name|pattern|template" lines fill the macro table and
// "#" lines are notes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "flowchart/pseudo_code.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

Listing ReadRules(const std::string& path) {
  Listing listing;
  std::ifstream in(path);
  EXPECT_TRUE(in.is_open()) << path;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("macro|", 0) == 0) {
      const TSynElem m = Rec(line.substr(6));  // name, pattern, template
      listing.Macros.push_back({m.AddrText, m.Label, m.Text});
    } else if (!line.empty() && line[0] != '#') {
      listing.LineList.push_back(Rec(line));
    }
  }
  return listing;
}

TEST(PseudoGolden, HandBuiltProgram) {
  Listing listing = ReadRules(std::string(HC11_SOURCE_DIR) + "/tests/flowchart/golden/pseudo_rules.in");
  ASSERT_FALSE(listing.LineList.empty());
  ConvertAll(listing);
  std::vector<std::string> records;
  for (const TSynElem& e : listing.LineList) records.push_back(PseudoLineRecord(e));
  ExpectGolden("pseudo_rules", records);
}

// The demo firmware as `hc11flow-cli pseudo examples/demo/demo` prints it; a
// missing listing writes nothing.
TEST(PseudoGolden, DemoFirmwareAndMissingListing) {
  const std::string demo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  std::ostringstream out;
  RecordingMessages messages;
  EXPECT_FALSE(WritePseudoListing(std::string(HC11_SOURCE_DIR) + "/examples/no_such_program", out, messages));
  EXPECT_TRUE(out.str().empty());
  if (!std::ifstream(demo + ".lst")) GTEST_SKIP() << "no " << demo << ".lst";
  messages.shown.clear();
  ASSERT_TRUE(WritePseudoListing(demo, out, messages));
  for (const auto& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
  std::vector<std::string> records;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) records.push_back(line);
  ExpectGolden("pseudo_demo", records);
}

}  // namespace
}  // namespace hc11::test
