#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/listing_loader.h"
#include "tests/listing/listing_text.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

using test::Lst;
using Strings = std::vector<std::string>;

constexpr int kHeaderLines = 5;

// Constants and an origin, then the case's lines: "ldA" lines get an address,
// directives none. Gives the operands of the records read and the messages.
Strings Assemble(const Strings& source, test::RecordingMessages& messages) {
  std::string text =
      Lst("0000", "", "1", "ZERO    equ     0") + "\n" + Lst("0001", "", "2", "ONE     equ     $1") + "\n" +
      Lst("0000", "", "3", "WORD    equ     abc") + "\n" + Lst("0000", "", "4", "NEG     equ     -2") + "\n" +
      Lst("E000", "", "5", "        org $E000") + "\n";
  int number = kHeaderLines;
  for (const auto& line : source) {
    const std::string no = std::to_string(++number);
    const bool code = line.rfind("ldA", 0) == 0;
    text += Lst(code ? Format("%04X", 0xE000 + 2 * number) : "", code ? "86 00" : "", no, "        " + line) +
            "\n";
  }
  Listing listing;
  std::uint16_t pc = 0;
  ParseListingText(listing, text, pc, messages);
  Strings operands;
  for (const auto& r : listing.LineList) operands.push_back(r.Text.substr(4));
  return operands;
}

const Strings kSixDeep = {"if ONE", "if ONE", "if ONE", "if ONE", "if ONE", "if ONE",
                          "ldA #1", "else",   "ldA #2", "endif",  "ldA #3", "endif",
                          "endif",  "endif",  "endif",  "endif",  "ldA #4"};

// A faulty directive is reported once, naming its listing line; the level it
// opens counts as false and the rest of the program still loads.
TEST(ConditionalAssembly, SelectsBranchesAndReportsFaultsOnce) {
  struct Case {
    const char* name;
    Strings source;
    Strings expected;
    std::string message;  // empty, the exact text (line 0), or a part of it
    int line = 0;
  };
  const Case cases[] = {
      {"false if", {"if ZERO", "ldA #1", "else", "ldA #2", "endif", "ldA #3"}, {"#2", "#3"}, ""},
      {"true hex constant", {"if ONE", "ldA #1", "else", "ldA #2", "endif"}, {"#1"}, ""},
      {"negative is true, case ignored", {"IF neg", "ldA #1", "ENDIF"}, {"#1"}, ""},
      {"nested in true",
       {"if ONE", "if ZERO", "ldA #1", "else", "ldA #2", "endif", "ldA #3", "endif", "ldA #4"},
       {"#2", "#3", "#4"},
       ""},
      {"false outer stays false after inner",
       {"if ZERO", "if ZERO", "endif", "ldA #2", "endif", "ldA #3"},
       {"#3"},
       ""},
      {"unknown constant",
       {"if MISSING", "ldA #1", "else", "ldA #2", "endif", "ldA #3"},
       {"#2", "#3"},
       "non trouvé  if MISSING"},
      {"constant not a number",
       {"if WORD", "ldA #1", "else", "ldA #2", "endif"},
       {"#2"},
       "n'est pas un nombre",
       kHeaderLines + 1},
      {"sixth level", kSixDeep, {"#2", "#3", "#4"}, "niveau 5", kHeaderLines + 6},
      {"endif without if", {"ldA #1", "endif", "ldA #2"}, {"#1", "#2"}, "endif sans if", kHeaderLines + 2},
      {"else without if", {"else", "ldA #1"}, {"#1"}, "else sans if", kHeaderLines + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::RecordingMessages messages;
    EXPECT_EQ(Assemble(c.source, messages), c.expected);
    if (c.message.empty()) {
      EXPECT_TRUE(messages.shown.empty());
      continue;
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    const auto& shown = messages.shown[0];
    EXPECT_EQ(shown.caption, "Erreur");
    if (c.line == 0) {
      EXPECT_EQ(shown.text, c.message);
    } else {
      EXPECT_NE(shown.text.find(c.message), std::string::npos) << shown.text;
      EXPECT_NE(shown.text.find(Format("ligne %d ", c.line)), std::string::npos) << shown.text;
    }
  }
}

}  // namespace
}  // namespace hc11
