// The breakpoint list: display lines, registration, the list's commands and
// RAM breakpoints stopping or tracing a running program.
#include "debugger/breakpoints.h"

#include <gtest/gtest.h>

#include "core/run_engine.h"
#include "debugger/controller.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

class BreakpointsTest : public ::testing::Test {
 protected:
  RecordingHooks hooks;
  Machine m{&hooks};
  BreakpointList list{m};
};

TEST_F(BreakpointsTest, DisplayLinesAndColours) {
  EXPECT_EQ(BreakLine({"nom", 0xFFFF, 'C', 1}), "ffff C inactif  nom");
  EXPECT_EQ(BreakLine({"loop", 0x00A0, 'm', 5}), "00a0 m BeakM    loop");
  EXPECT_EQ(BreakLine({"x", 0x0010, 'I', 4}), "0010 I TraceM   x");
  EXPECT_EQ(BreakLineColour(0), 0xFFFFFFu);
  EXPECT_EQ(BreakLineColour(1), 0x808080u);
  EXPECT_EQ(BreakLineColour(2), 0x0000FFu);
  EXPECT_EQ(BreakLineColour(3), 0x008000u);
  EXPECT_EQ(BreakLineColour(4), std::nullopt);
}

TEST_F(BreakpointsTest, NewEditRemoveRegisterInTheMachine) {
  list.New();
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"ffff C inactif  nom"});
  EXPECT_EQ(m.tInst[0xFFFF], 0);  // not registered until edited
  EXPECT_EQ(list.Edit(0, {"start", "1000", "C", 2}), "");
  EXPECT_EQ(m.tInst[0x1000], 2);
  // Moving the entry clears its old place.
  EXPECT_EQ(list.Edit(0, {"start", "E000", "C", 3}), "");
  EXPECT_EQ(m.tInst[0x1000], 0);
  EXPECT_EQ(m.tInst[0xE000], 3);
  // Changing the kind to RAM clears the code registration too.
  EXPECT_EQ(list.Edit(0, {"v", "E000", "I", 2}), "");
  EXPECT_EQ(m.tInst[0xE000], 0);
  EXPECT_EQ(m.WriteTagTable[0xE000].ramBreak, RamBreakWrite);
  list.Remove(0);
  EXPECT_EQ(m.WriteTagTable[0xE000].ramBreak, 0);
  EXPECT_TRUE(list.entries().empty());
  list.Remove(3);  // nothing selected: harmless
}

// Two code entries at one address: moving or removing one leaves the address
// registered for the other, and a run still stops there.
TEST_F(BreakpointsTest, TwoEntriesAtOneAddressKeepItRegistered) {
  for (const bool remove : {false, true}) {
    SCOPED_TRACE(remove ? "remove" : "move");
    list.ClearAll();
    list.Append({"first", 0xE010, 'C', 2}, true);
    list.Append({"second", 0xE010, 'C', 2}, true);
    if (remove)
      list.Remove(0);
    else
      EXPECT_EQ(list.Edit(0, {"first", "E020", "C", 2}), "");
    EXPECT_EQ(m.tInst[0xE010], 2);
    EXPECT_EQ(list.Find(0xE010), remove ? 0u : 1u);
  }
  list.Remove(0);  // the last entry there goes: the address is free
  EXPECT_EQ(m.tInst[0xE010], 0);
}

TEST_F(BreakpointsTest, DialogReadBackErrorsChangeNothing) {
  Tbreak b{"old", 0x1234, 'C', 2};
  EXPECT_NE(ReadBreakDialog({std::string(60, 'n'), "12G4", "i", 3}, b), "");
  EXPECT_EQ(b.name, "old");
  EXPECT_EQ(b.address, 0x1234);
  EXPECT_EQ(b.BreakKind, 'C');
  EXPECT_NE(ReadBreakDialog({"n", "10000", "i", 3}, b), "");
  EXPECT_EQ(b.address, 0x1234);
  EXPECT_NE(ReadBreakDialog({"n", "20", "", 3}, b), "");
  EXPECT_EQ(b.address, 0x1234);
  EXPECT_EQ(b.BreakState, 2);
  EXPECT_EQ(ReadBreakDialog({std::string(60, 'n'), "20", "i", 0}, b), "");
  EXPECT_EQ(b.name.size(), kBreakNameMax);
  EXPECT_EQ(ReadBreakDialog({"n", "20", "mx", 0}, b), "");
  EXPECT_EQ(b.BreakKind, 'm');
  EXPECT_EQ(b.BreakState, 2);  // no button selected keeps the state
  const BreakDialog filled = FillBreakDialog({"nom", 0xA, 'C', 3});
  EXPECT_EQ(filled.address, "000A");
  EXPECT_EQ(filled.selected, 3);
}

TEST_F(BreakpointsTest, BreakEditCreatesFromNearestLabelThenCycles) {
  TListSyn lines(3);
  lines[0].Label = "boucle";
  lines[0].AddrText = "E000";
  lines[1].AddrText = "E002";
  lines[2].AddrText = "E004";
  EXPECT_EQ(list.BreakEditCaption(0xE002), "Break edit: ");
  EXPECT_FALSE(list.CanDeleteAt(0xE002));
  list.BreakEditAt(0xE002, lines);
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"e002 C Break    boucle"});
  list.BreakEditAt(0xE002, lines);
  EXPECT_EQ(list.BreakEditCaption(0xE002), "Break edit: Trace");
  list.BreakEditAt(0xE002, lines);
  EXPECT_EQ(m.tInst[0xE002], 1);
  list.BreakEditAt(0xE002, lines);
  EXPECT_EQ(m.tInst[0xE002], 2);
  list.BreakEditAt(0x9999, lines);
  EXPECT_EQ(list.entries()[1].name, "Nom");
  EXPECT_TRUE(list.BreakDeleteAt(0xE002));
  EXPECT_EQ(m.tInst[0xE002], 0);
  EXPECT_FALSE(list.BreakDeleteAt(0xE002));
}

TEST_F(BreakpointsTest, LookupFindsTheFirstEntryWhateverItsKind) {
  list.Append({"a", 0x20, 'm', 4}, true);
  list.Append({"b", 0x20, 'C', 2}, true);
  EXPECT_EQ(list.LineFor(0x20), "0020 m TraceM   a");
  EXPECT_EQ(list.LineFor(0x21), "");
  list.ClearAll();
  EXPECT_EQ(m.tInst[0x20], 0);
  EXPECT_TRUE(list.entries().empty());
}

TEST_F(BreakpointsTest, RemovingOneOfTwoCodeEntriesKeepsTheOtherActing) {
  list.Append({"a", 0x30, 'C', 2}, true);
  list.Append({"b", 0x30, 'C', 3}, true);
  list.Remove(0);
  EXPECT_EQ(m.tInst[0x30], 3);  // "b" traces on
  list.Remove(0);
  EXPECT_EQ(m.tInst[0x30], 0);
}

// E000 86 05  ldA #5
// E002 97 10  stA $10
// E004 96 10  ldA $10
// E006 20 F8  jr $E000
class RamBreakRunTest : public BreakpointsTest {
 protected:
  void SetUp() override {
    const std::uint8_t code[] = {0x86, 0x05, 0x97, 0x10, 0x96, 0x10, 0x20, 0xF8};
    std::copy(std::begin(code), std::end(code), m.Memory.begin() + 0xE000);
    m.CodeEnd = 0xE008;
    m.StartPC = 0xE000;
    m.ResetMachine();
    m.StepBudget = 8;
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> texts;
    for (const std::string& line : hooks.trace) texts.push_back(line.substr(line.find("ms ") + 3));
    return texts;
  }
};

TEST_F(RamBreakRunTest, EachKindStopsAfterItsAccess) {
  struct Case {
    char kind;
    std::uint16_t stopPC;
  };
  for (const Case c : {Case{'I', 0xE004}, Case{'i', 0xE006}, Case{'m', 0xE004}}) {
    SCOPED_TRACE(c.kind);
    m.ResetMachine();
    list.ClearAll();
    list.Append({"v", 0x10, c.kind, 2}, true);
    RunCommand(m, kModeRun, false);
    EXPECT_EQ(CompleteStop(m.Stop, list).text, std::string("Break 0010 ") + c.kind + " Break    v");
    EXPECT_EQ(m.cpu.PC, c.stopPC);
  }
}

TEST_F(RamBreakRunTest, TraceStateWritesALineAndGoesOnInertStatesDoNothing) {
  list.Append({"w", 0x10, 'I', 3}, true);
  list.Append({"r", 0x10, 'i', 1}, true);
  list.Append({"c", 0x10, 'm', 5}, true);
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(hooks.stopReason, "stop ");  // the step budget
  EXPECT_EQ(Events(), (std::vector<std::string>{"0010 I Trace    w", "0010 I Trace    w"}));
  // The second store wrote the same byte: a changed-byte Break stays quiet.
  list.ClearAll();
  list.Append({"c", 0x10, 'm', 2}, true);
  m.cpu.PC = 0xE000;
  m.StepBudget = 4;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(hooks.stopReason, "stop ");
}

}  // namespace
}  // namespace hc11::test
