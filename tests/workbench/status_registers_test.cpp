// The status line's texts after a run, the registers pane's rows and edits,
// and the dump's changed bytes.
#include <gtest/gtest.h>

#include "workbench/memory_changes.h"
#include "workbench/register_rows.h"
#include "workbench/status_text.h"

namespace hc11::test {
namespace {

StopReport Report(RunKind command, StopCause cause, std::uint16_t pc, const char* name = "") {
  StopReport r;
  r.command = command;
  r.stop.cause = cause;
  r.stop.pc = pc;
  r.breakpointName = name;
  return r;
}

StopReport Back(StopCause cause, std::uint16_t pc) {
  StopReport r = Report(RunKind::Run, cause, pc);
  r.stop.back = true;
  return r;
}

TEST(StatusText, EachWayARunEnds) {
  StopReport error = Report(RunKind::Run, StopCause::Error, 0xE100);
  error.stop.message = "code inconnu";
  StopReport expression = Report(RunKind::Run, StopCause::Expression, 0xE100);
  expression.stop.text = "Arrêt sur expression [cnt] == 3";
  struct Case {
    StopReport report;
    const char* status;
  };
  const Case cases[] = {
      {Report(RunKind::Run, StopCause::Breakpoint, 0xE056, "main_loop"),
       "Arrêt sur point d'arrêt e056 main_loop"},
      {Report(RunKind::Step, StopCause::StepDone, 0xE02F), "Pas à pas: E02F"},
      {Report(RunKind::Step, StopCause::Breakpoint, 0xE02F), "Arrêt sur point d'arrêt e02f"},
      {Report(RunKind::StepOver, StopCause::StepDone, 0xE031), "Pas à pas Spr: E031"},
      {Report(RunKind::RunTo, StopCause::TargetReached, 0xE060), "Arrivé au curseur: E060"},
      {Report(RunKind::RunTo, StopCause::CallReturned, 0xE060), "Retour d'appel: E060"},
      {Report(RunKind::Run, StopCause::StopRequested, 0xE100), "Arrêt demandé: E100"},
      {Report(RunKind::Run, StopCause::BudgetSpent, 0xE100), "Arrêt: E100"},
      {error, "Arrêt sur erreur en E100: code inconnu"},
      {expression, "Arrêt: Arrêt sur expression [cnt] == 3"},
      {Report(RunKind::ReturnUp, StopCause::StepDone, 0xE05A), "Remonté du SP: E05A"},
      {Back(StopCause::ReplayEnd, 0xE00A), "Pas arrière: E00A"},
      {Back(StopCause::StopRequested, 0xE00A), "Pas arrière: E00A"},
      {Back(StopCause::RecordStart, 0xE000), "Début de l'enregistrement: E000"},
  };
  for (const Case& c : cases) EXPECT_EQ(StopStatus(c.report), c.status) << c.status;

  // A RAM breakpoint names the address and variable it caught, and the access.
  StopReport ram = Report(RunKind::Run, StopCause::RamBreakpoint, 0xE012);
  ram.stop.address = 0x0041;
  ram.stop.access = 'I';
  ram.variable = "leds";
  EXPECT_EQ(StopStatus(ram), "Arrêt sur accès mémoire 0041 leds (écriture) en E012");
  ram.stop.access = 'i';
  ram.variable.clear();
  EXPECT_EQ(StopStatus(ram), "Arrêt sur accès mémoire 0041 (lecture) en E012");
  ram.stop.access = 'm';
  EXPECT_EQ(StopStatus(ram), "Arrêt sur accès mémoire 0041 (modification) en E012");
  // A close refused during the run says so, not that a stop was asked.
  StopReport closing = Report(RunKind::Run, StopCause::StopRequested, 0xE100);
  closing.closeRefused = true;
  EXPECT_EQ(StopStatus(closing), "Fermeture refusée: exécution arrêtée");

  EXPECT_EQ(SerialCommandStatus("LecE2P"), "Commande LecE2P placée dans le tampon série");
  EXPECT_EQ(BreakpointStatus(true, 0xE056, "main_loop"), "Point d'arrêt posé: e056 main_loop");
}

TEST(RegisterRowsTest, ChangedValuesAndFlagsAreMarked) {
  CpuState before, now;
  before.A = 0x12;
  before.CC = 0xD0;  // S X I
  now = before;
  now.B = 0x34;
  now.CC = 0xD4;  // Z set
  const std::vector<RegisterRow> rows = RegisterRows(now, before);
  auto row = [&](const char* name) {
    for (const RegisterRow& r : rows)
      if (r.name == name) return r;
    ADD_FAILURE() << name;
    return RegisterRow{};
  };
  EXPECT_EQ(row("A").value, "12");
  EXPECT_FALSE(row("A").changed);
  EXPECT_TRUE(row("B").changed);
  EXPECT_EQ(row("D").value, "1234");
  EXPECT_TRUE(row("D").changed);
  EXPECT_EQ(row("CC.Z").value, "1");
  EXPECT_TRUE(row("CC.Z").changed);
  EXPECT_EQ(row("CC.S").value, "1");
  EXPECT_FALSE(row("CC.S").changed);
  EXPECT_EQ(row("CC.N").value, "0");
  EXPECT_EQ(rows.size(), 16u);
}

TEST(RegisterRowsTest, EditsInPlace) {
  struct Case {
    const char* name;
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {"A", "7f", true},      {"A", "$1FF", false}, {"D", "ABCD", true},  {"PC", "e000", true},
      {"SP", "10000", false}, {"CC.C", "1", true},  {"CC.Z", "2", false}, {"Z", "1", false},
      {"X", "zz", false},     {"Q", "1", false},
  };
  for (const Case& c : cases) {
    CpuState cpu;
    const CpuState untouched = cpu;
    const std::string error = SetRegisterText(cpu, c.name, c.text);
    EXPECT_EQ(error.empty(), c.ok) << c.name << "=" << c.text << ": " << error;
    if (!c.ok) {
      EXPECT_EQ(cpu.A, untouched.A);
      EXPECT_EQ(cpu.SP, untouched.SP);
      EXPECT_EQ(cpu.CC, untouched.CC);
    }
  }
  CpuState cpu;
  EXPECT_EQ(SetRegisterText(cpu, "D", "ABCD"), "");
  EXPECT_EQ(cpu.A, 0xAB);
  EXPECT_EQ(cpu.B, 0xCD);
  EXPECT_EQ(SetRegisterText(cpu, "CC.C", "1"), "");
  EXPECT_EQ(SetRegisterText(cpu, "CC.I", "1"), "");
  EXPECT_EQ(cpu.CC, 0x11);
  EXPECT_EQ(SetRegisterText(cpu, "CC.C", "0"), "");
  EXPECT_EQ(cpu.CC, 0x10);
  // The index register X is not the flag X.
  EXPECT_EQ(SetRegisterText(cpu, "X", "1"), "");
  EXPECT_EQ(cpu.X, 1);
  EXPECT_EQ(cpu.CC, 0x10);
  EXPECT_EQ(SetRegisterText(cpu, "CC.X", "1"), "");
  EXPECT_EQ(cpu.CC, 0x50);
}

TEST(MemoryChangesTest, BytesChangedBetweenTheLastTwoStops) {
  std::array<std::uint8_t, 65536> ram{};
  MemoryChanges changes;
  changes.Stopped(ram);
  EXPECT_TRUE(changes.DumpCells(0, 16).empty());  // one stop: nothing to compare
  ram[0x0011] = 5;
  ram[0x0020] = 7;
  changes.Stopped(ram);
  const auto cells = changes.DumpCells(0x0010, 16);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0].line, 0);
  EXPECT_EQ(cells[0].column, 10);  // "0010  " + " 00" + " 05"
  EXPECT_EQ(cells[1].line, 1);
  EXPECT_EQ(cells[1].column, 7);
  // The next stop without a write: nothing changed since the previous one.
  changes.Stopped(ram);
  EXPECT_TRUE(changes.DumpCells(0x0010, 16).empty());
  // Near the end of memory the cells stop at $FFFF.
  ram[0xFFFF] = 1;
  changes.Stopped(ram);
  EXPECT_EQ(changes.DumpCells(0xFFF0, 16).size(), 1u);
  changes.Forget();
  EXPECT_FALSE(changes.Changed(0xFFFF));
}

}  // namespace
}  // namespace hc11::test
