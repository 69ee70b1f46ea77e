#include "listing/listing_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/listing/listing_text.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

using test::Join;
using test::Lst;
using Strings = std::vector<std::string>;

struct Loaded {
  Listing listing;
  std::uint16_t startPC = 0x1234;
  test::RecordingMessages messages;
  explicit Loaded(const std::string& text) { ParseListingText(listing, text, startPC, messages); }
  Strings Records() const { return test::Records(listing.LineList); }
  Strings Functions() const {
    Strings out;
    for (const auto& [name, e] : listing.FunctionList.entries)
      out.push_back(name + Format("@%04X", e.Adresse));
    return out;
  }
};

TEST(ListingLoader, InstructionRecordsAndEntryPoints) {
  Loaded l(Join({
      Lst("", "", "1", "; header, outside code"),
      Lst("E000", "", "2", "        org     $E000"),
      Lst("E000", "86 05", "3", "debprog_ ldA    #5 ; load five"),
      Lst("E002", "97 10", "4", "second  stA     $10"),
      Lst("E004", "", "5", "buf     ds      2"),
      Lst("E006", "20 FE", "6", "loop    jr      loop"),
      Lst("E008", "7E E0 08", "7", "        jmp     >here"),
      Lst("E00B", "BD E1 00", "8", "        call    >sub1 ; go"),
      Lst("E00E", "BD 00 10", "9", "        call    $0010"),
      Lst("E011", "BD", "10", "        call    cmd1"),
      Lst("E014", "E0 20", "11", "table   dw      Routine"),
      Lst("", "", "12", ";   full line"),
      Lst("E016", "39", "13", "        ret"),
      Lst("E017", "", "14", "        end"),
      Lst("E017", "39", "15", "after   ret"),
  }));
  EXPECT_EQ(l.Records(), (Strings{
                             "E000||debprog_|ldA #5|| load five|86 05",
                             "E002||second|stA $10|||97 10",
                             "E004|||ds 2|||18 00",  // a reservation names no code
                             "E006||loop|jmp|loop||20 FE",
                             "E008|||jmp|here||7E E0",
                             "E00B|||call sub1|| go|BD E1",
                             "E00E|||call $0010|||BD 00",
                             "E011|||call cmd1|||BD 00",
                             "E014||table|dw Routine|||E0 20",
                             "|||||   full line|18 00",
                             "E016|||ret|||39 00",
                         }));
  // The first label after "org", callees at the call line, word tables; not
  // "second", "cmd1" (lower-case "c") nor "$0010".
  EXPECT_EQ(l.Functions(), (Strings{"debprog_@E000", "Routine@E014", "sub1@E00B"}));
  EXPECT_EQ(l.startPC, 0xE000);
  const auto& map = *l.listing.ListingMap;
  EXPECT_EQ(map[0xE000], 'L');
  EXPECT_EQ(map[0xE004], 'L');
  EXPECT_EQ(map[0xE001], 0);
  EXPECT_EQ(map[0xE017], 0);  // reading stopped at "end"
  EXPECT_TRUE(l.messages.shown.empty());
}

TEST(ListingLoader, CodeStartsAtOrgOrEndmWhenTheirColumnsAreRight) {
  Loaded l(Join({
      Lst("0001", "", "1", "DEBUG   equ     1"),  // constants count outside code
      Lst("", "", "2", "        org $E000"),      // no address: not an origin
      Lst("E000", "39", "3", "a       ret"),
      Lst("E001", "", "4", "        org $E001"),
      Lst("E001", "39", "5", "b       ret"),
      Lst("E002", "", "6", "m1      macro"),
      Lst("E002", "", "7", "        endm"),  // with an address: still inside the definition
      Lst("E002", "39", "8", "c2      ret"),
      Lst("", "", "9", "        endm"),
      Lst("E003", "39", "10", "d       ret"),
      Lst("E004", "39", "11", "e       ret"),
      Lst("0000", "", "12", "DEBUG   equ     0"),
  }));
  EXPECT_EQ(l.Records(), (Strings{"E001||b|ret|||39 00", "E003||d|ret|||39 00", "E004||e|ret|||39 00",
                                  "0000|||equ 0|||18 00"}));  // in code every numbered line counts
  EXPECT_EQ(l.Functions(), (Strings{"b@E001", "d@E003"}));
  EXPECT_EQ(l.startPC, 0x1234);  // no "debprog_": left alone

  // First definition wins, case ignored, kept over the next load.
  ParseListingText(l.listing, Join({Lst("0002", "", "1", "debug equ 2")}), l.startPC, l.messages);
  ASSERT_EQ(l.listing.ConstantList.size(), 1u);
  EXPECT_EQ(l.listing.ConstantList.at("Debug").second, "    1");  // the text after "equ", untrimmed
}

TEST(ListingLoader, LongLinesAreCutAtTheCommentRules) {
  const std::string noSemicolon = Lst("E000", "86 05", "2", "        ldA #5") + std::string(300 - 42, 'x');
  const std::string longComment = Lst("E002", "86 06", "3", "        ldA #6;") + std::string(400, 'c');
  Loaded l(Join({Lst("E000", "", "1", "        org $E000"), noSemicolon, longComment}));
  ASSERT_EQ(l.listing.LineList.size(), 2u);
  // Without ";" the first 254 columns are the line and columns 256 on its comment.
  EXPECT_EQ(l.listing.LineList[0].Text, "ldA #5" + std::string(254 - 42, 'x'));
  EXPECT_EQ(l.listing.LineList[0].Comment, std::string(45, 'x'));
  EXPECT_EQ(l.listing.LineList[1].Comment, std::string(255, 'c'));
}

TEST(ListingLoader, MacroCallsBecomeOneRecordPerCall) {
  Loaded l(Join({
      Lst("", "", "1", ";!macros"),
      Lst("", "", "2", ";tempo:1S:attendre(%s)"),
      Lst("", "", "3", ";!endmacro"),
      Lst("E000", "", "4", "tempo   macro"),
      Lst("E000", "86 00", "5", "        ldA #\\1"),
      Lst("", "", "6", "        endm"),
      Lst("E000", "", "7", "        org $E000"),
      Lst("", "", "8", "wait    tempo 3,x ; pause"),
      Lst("E000", "86 03", "1M", "        ldA #3"),
      Lst("", "", "1M", "; body comment"),  // shows no address: does not end the call
      Lst("E002", "4A", "1M", "        decA"),
      Lst("E005", "26 FD", "1M", "        bne *-1"),
      Lst("", "", "1M", "; trailing body comment"),
      Lst("E007", "39", "9", "        ret"),
      Lst("", "", "10", "        tempo 1"),
      Lst("", "", "11", "; after an empty expansion"),
      Lst("E008", "86 01", "1M", "        ldA #1"),  // belongs to no remembered call
      Lst("E00A", "39", "12", "        ret"),
      // Lines marked only in column 28 expand a call when column 1 is a digit.
      Lst("", "", "13", "        tempo 2"),
      Lst("1000", "86 02", "", "        ldA #2", 'M'),
      Lst("1002", "4A", "", "        decA", 'M'),
      Lst("E00C", "4A", "", "        decA", 'M'),
  }));
  EXPECT_EQ(l.Records(), (Strings{
                             "E000|E005|wait|tempo 3,x|| pause|18 00",
                             "E007|||ret|||39 00",
                             "|||||SepMacro|18 00",
                             "||||| after an empty expansion|18 00",
                             "E00A|||ret|||39 00",
                             "1000|1002||tempo 2|||18 00",
                         }));
  for (std::uint16_t a : {0xE000, 0xE002, 0xE005, 0xE008, 0x1002})
    EXPECT_EQ(l.listing.ListingMap->at(a), 'L');
  EXPECT_EQ(l.listing.ListingMap->at(0xE00C), 0);
  EXPECT_TRUE(l.Functions().empty());
}

// A routine reached only through a macro is a function all the same, at the
// address of the expansion's call line, whether the flowchart knows the macro
// or not.
TEST(ListingLoader, CallsInsideMacroExpansionsNameTheirRoutines) {
  Loaded l(Join({
      Lst("", "", "1", ";!macros"),
      Lst("", "", "2", ";delay:1:attendre(%s)"),
      Lst("", "", "3", ";!endmacro"),
      Lst("E000", "", "4", "        org $E000"),
      Lst("", "", "5", "        delay 3"),
      Lst("E000", "86 03", "1M", "        ldA #3"),
      Lst("E002", "BD E1 00", "1M", "@loc    call    tempo"),
      Lst("", "", "6", "        inconnue"),  // a macro the flowchart does not know
      Lst("E005", "BD E2 00", "1M", "        callr   >Attente ; far"),
      Lst("E008", "BD 00 10", "1M", "        call    $0010"),
      Lst("E00B", "BD E3 00", "1M", "        call    compte"),
      Lst("", "", "7", "        delay 4"),
      Lst("1200", "BD E4 00", "", "        call    Pause", 'M'),
      Lst("E011", "39", "8", "        ret"),
  }));
  EXPECT_EQ(l.Functions(), (Strings{"Attente@E005", "Pause@1200", "tempo@E002"}));
  EXPECT_EQ(l.Records(), (Strings{
                             "E000|E002||delay 3|||18 00",
                             "1200|||delay 4|||18 00",
                             "E011|||ret|||39 00",
                         }));
}

TEST(ListingLoader, OldMacLineEndsAndAnUnclosedMacroBlock) {
  Loaded crOnly(Lst("E000", "", "1", "        org $E000") + "\r" + Lst("E000", "39", "2", "here    ret") +
                "\r" + Lst("E001", "39", "3", "        ret") + "\n");
  EXPECT_EQ(crOnly.Records(), (Strings{"E000||here|ret|||39 00", "E001|||ret|||39 00"}));

  Loaded unclosed(Join({Lst("E000", "", "1", "        org $E000"), Lst("", "", "2", ";!macros"),
                        Lst("", "", "3", ";a:1:x"), Lst("E000", "39", "4", "        ret"),
                        Lst("E001", "39", "5", "        ret")}));
  // Only the last line, left as the current one, is parsed as listing.
  EXPECT_EQ(unclosed.Records(), (Strings{"E001|||ret|||39 00"}));
  ASSERT_EQ(unclosed.messages.shown.size(), 1u);
  EXPECT_EQ(unclosed.messages.shown[0].text,
            ";!macros sans ;!endmacro (ligne 2 du listing) : la fin du listing est lue comme définitions de "
            "macros");
}

TEST(ListingLoader, StartLabelOnAMacroCallTakesItsFirstAddress) {
  const std::string macros =
      Join({Lst("", "", "1", ";!macros"), Lst("", "", "2", ";tempo:1S:attendre(%s)"),
            Lst("", "", "3", ";!endmacro"), Lst("E000", "", "4", "        org $E100")});
  const std::string expansion =
      Join({Lst("E100", "86 03", "1M", "        ldA #3"), Lst("E102", "4A", "1M", "        decA")});
  Loaded onTheCall(macros + Join({Lst("", "", "5", "debprog_ tempo 3")}) + expansion);
  EXPECT_EQ(onTheCall.startPC, 0xE100);
  Loaded aloneBefore(macros + Join({Lst("", "", "5", "DebProg_"), Lst("", "", "6", "        tempo 3")}) +
                     expansion);
  EXPECT_EQ(aloneBefore.startPC, 0xE100);
  EXPECT_EQ(aloneBefore.Records(), (Strings{"E100|E102|DebProg_|tempo 3|||18 00"}));
}

}  // namespace
}  // namespace hc11
