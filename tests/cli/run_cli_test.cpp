// `hc11flow-cli run` as scripts see it: whole outputs against golden files
// (regenerate with HC11_UPDATE_GOLDEN=1), exit codes and error lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = HC11_SOURCE_DIR;
// The example is copied into each test's directory, so the files the CLI
// writes beside the listing never land in the source tree.
const std::string kLoop = "loop";

using Result = hc11::test::CliResult;
using hc11::test::Slurp;

class RunCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = hc11::test::FreshTestFolder("hc11_cli_");
    for (const char* example : {"loop", "demo"}) {
      for (const char* ext : {".lst", ".HEX"}) {
        const std::string file = std::string(example) + ext;
        fs::copy_file(kSource / "examples" / example / file, dir / file,
                      fs::copy_options::overwrite_existing);
      }
    }
  }
  void TearDown() override { fs::remove_all(dir); }

  Result Cli(const std::vector<std::string>& args) { return hc11::test::RunCli(dir, args); }

  void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path golden = kSource / "tests/cli/golden" / (name + ".txt");
    const char* update = std::getenv("HC11_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
      std::ofstream(golden, std::ios::binary) << actual;
      return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " missing; run with HC11_UPDATE_GOLDEN=1";
    EXPECT_EQ(actual, Slurp(golden)) << "differs from " << golden;
  }

  fs::path dir;
};

TEST_F(RunCliTest, GoldenOutputs) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"loop_steps_history", {"run", kLoop, "--steps", "20", "--history"}},
      {"loop_single_steps_dump",
       {"run", kLoop + ".HEX", "--mode", "v", "--repeat", "3", "--dump", "10:1", "--dump", "$E000:23"}},
      {"loop_breakpoints", {"run", kLoop, "--break", "E010", "--break", "e009:3", "--repeat", "2"}},
      {"loop_run_to_target", {"run", kLoop, "--mode", "s", "--target", "0xE010", "--repeat", "2"}},
      {"loop_step_over", {"run", kLoop, "--mode", "w", "--repeat", "18"}},
      // At the top level no return climbs above the saved SP: the step budget
      // ends the second command inside the routine, whose return ends the third.
      {"loop_return_up", {"run", kLoop, "--mode", "u", "--steps", "50", "--repeat", "3"}},
      // Without ldS the call pushes at SP 0 and wraps into the forbidden top of memory.
      {"loop_stack_wrap", {"run", kLoop, "--start", "E007", "--dump", "FFF8:8", "--dump", "0:2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result r = Cli(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ExpectGolden(c.name, r.out);
  }
}

TEST_F(RunCliTest, BadArgumentsExitWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"run"},
      {"run", kLoop, "--mode", "z"},
      {"run", kLoop, "--mode", "s"},
      {"run", kLoop, "--start", "10000"},
      {"run", kLoop, "--steps", "0"},
      {"run", kLoop, "--steps"},
      {"run", kLoop, "--repeat", "x"},
      {"run", kLoop, "--break", "E000:9"},
      {"run", kLoop, "--dump", "E000"},
      {"run", kLoop, "--bogus", "1"},
      {"run", kLoop, "--eeprom", ""},
      {"run", kLoop, "--break", "10:2:Im"},
      {"run", kLoop, "--watch", "v=10:Q"},
      {"run", kLoop, "--watch", "v=10:$:17"},
      {"run", kLoop, kLoop},
      {"run", "absent"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  // An unknown option is named as such even when a value would follow it.
  EXPECT_EQ(Cli({"run", kLoop, "--bogus"}).err, "hc11flow-cli run: unknown option '--bogus'\n");
  EXPECT_EQ(Cli({"run", kLoop, "--eeprom", ""}).err,
            "hc11flow-cli run: --eeprom: expected a file name, got ''\n");
}

// The loop adds 1 to A at $E009 and stores it at $E00B, three times per pass.
TEST_F(RunCliTest, BreakpointExtrasAndStopExpressionFromTheCommandLine) {
  struct Case {
    std::vector<std::string> args;
    const char* status;
    const char* regs;  // in the trace line
  };
  const Case cases[] = {
      {{"--break-if", "E00B:A == 4"}, "status: Break e00b C Break    nom\n", "X=0001 A=04"},
      {{"--break-count", "E00B:5"}, "status: Break e00b C Break    nom\n", "X=0001 A=05"},
      {{"--break", "E00B", "--break-count", "$E00B:*3", "--break-if", "E00B:X >= 1"},
       "status: Break e00b C Break    nom\n",
       "X=0001 A=06"},
      {{"--stop-when", "[$10] == 2", "--stop-when", "X == 9"},
       "status: Arrêt sur expression ([$10] == 2) || (X == 9)\n",
       "X=0000 A=02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    std::vector<std::string> args = {"run", kLoop, "--no-workspace", "--steps", "200"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(c.status), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.regs), std::string::npos) << r.out;
  }
  // A logpoint writes its line and the run goes on to the step bound; the
  // break: line counts its hits.
  const Result log =
      Cli({"run", kLoop, "--no-workspace", "--steps", "16", "--logpoint", "E00B:A={A} X={X:x}"});
  EXPECT_EQ(log.status, 0);
  EXPECT_NE(log.out.find("ms A=1 X=0\n"), std::string::npos) << log.out;
  EXPECT_NE(log.out.find("ms A=3 X=0\n"), std::string::npos) << log.out;
  EXPECT_NE(log.out.find("status: stop \n"), std::string::npos) << log.out;
  EXPECT_NE(log.out.find("break: e00b C Break    nom log A={A} X={X:x} (3 coups)\n"), std::string::npos)
      << log.out;

  // Malformed texts are refused before anything runs, with the evaluator's message.
  const struct {
    std::vector<std::string> args;
    const char* err;
  } refused[] = {
      {{"--break-if", "E00B:A =="},
       "hc11flow-cli run: '--break-if E00B:A ==': Condition, colonne 5 : valeur attendue (trouvé la fin)\n"},
      {{"--logpoint", "E00B:{nope}"},
       "hc11flow-cli run: '--logpoint E00B:{nope}': Message, colonne 2 : symbole inconnu 'nope'\n"},
      {{"--stop-when", "(1"}, "hc11flow-cli run: --stop-when (1: colonne 3 : ')' attendue (trouvé la fin)\n"},
      {{"--break-count", "E00B:0"}, nullptr},
      {{"--break-count", "E00B"}, nullptr},
      {{"--break-if", "G:1"}, nullptr},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.args[1]);
    std::vector<std::string> args = {"run", kLoop, "--no-workspace"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.find("status:"), std::string::npos) << r.out;
    if (c.err != nullptr) {
      EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

// The loop stores A at $10 three times per pass, incrementing it each time.
TEST_F(RunCliTest, ListsFromTheCommandLineStopTraceAndAreSaved) {
  const Result r = Cli({"run", kLoop, "--break", "10:2:m:compteur", "--break", "E009:3", "--break", "E014",
                        "--watch", "compteur=10:D", "--watch", "tab=20:$:1:3:1 2 3", "--repeat", "2",
                        "--save-workspace", "loop.Zan"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string expected =
      "e009 T=   0.004ms e009 C Trace    nom\n"
      "status: Break 0010 m Break    compteur\n"
      "message: \n"
      "trace: PC=E00D CC=10 X=0000 A=01 B=03 Sp=00ff  cycle=6 T=   0.007ms  \n"
      "e009 T=   0.006ms e009 C Trace    nom\n"
      "status: Break 0010 m Break    compteur\n"
      "message: \n"
      "trace: PC=E00D CC=10 X=0000 A=02 B=02 Sp=00ff  cycle=11 T=   0.012ms  \n"
      "break: 0010 m Break    compteur (2 coups)\n"
      "break: e009 C Trace    nom (2 coups)\n"
      "break: e014 C Break    nom\n"
      "watch: I  compteur     10=   2\n"
      "watch: I  tab          20=    1    2    3\n"
      "stack-low: 00ff debprog_\n";
  EXPECT_EQ(r.out.substr(0, r.out.find("panel:")), expected);

  // The saved lists come back at the next run's Init, before the command line's.
  const Result again = Cli({"run", kLoop, "--break", "E012:1", "--steps", "3"});
  EXPECT_NE(again.out.find(
                "break: 0010 m Break    compteur\nbreak: e009 C Trace    nom\nbreak: e014 C Break    nom\n"
                "break: e012 C inactif  nom\nwatch: Im compteur     10=   0\n"),
            std::string::npos)
      << again.out;
  const Result none = Cli({"run", kLoop, "--no-workspace", "--steps", "3"});
  EXPECT_EQ(none.out.find("break:"), std::string::npos);

  const Result listed = Cli({"workspace", "loop.Zan"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out,
            "break: 0010 m Break    compteur\nbreak: e009 C Trace    nom\nbreak: e014 C Break    nom\n"
            "watch: Im compteur     10=xxx\nwatch: Im tab          20=xxx\n");
}

TEST_F(RunCliTest, CtrlCOrTermEndsAnEndlessRunAsArretAndTheSummaryFollows) {
  for (const char* signal : {"INT", "TERM"}) {
    const Result r = hc11::test::RunCli(
        dir, {"run", "demo", "--no-workspace", "--repeat", "3", "--save-workspace", "after.Zan"}, 1, signal);
    EXPECT_EQ(r.status, 0) << signal << ": " << r.err;
    // One run ended, the two repeats after it skipped.
    EXPECT_EQ(r.out.find("status: stop \n"), r.out.rfind("status: "));
    EXPECT_NE(r.out.find("trace: PC="), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("panel: Ecran1="), std::string::npos) << r.out;
    EXPECT_TRUE(fs::is_regular_file(dir / "after.Zan"));
    fs::remove(dir / "after.Zan");
  }
}

TEST_F(RunCliTest, StackLinesNameTheCaller) {
  const Result r = Cli({"run", kLoop, "--break", "E014"});
  EXPECT_NE(r.out.find("status: Break e014 C Break    nom\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("stack: e012 00fd debprog_ \n"), std::string::npos) << r.out;
}

TEST_F(RunCliTest, UnreadableWorkspaceIsKeptAsBakBeforeTheSave) {
  const std::string broken("\x02\x00\x02\x00\x06", 5);
  std::ofstream(dir / "loop.Zan", std::ios::binary) << broken;
  const Result r = Cli({"run", kLoop, "--steps", "1", "--break", "E000", "--save-workspace", "loop.Zan"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("loop.Zan: octet 4: étiquette 6 où un entier est attendu"), std::string::npos)
      << r.err;
  EXPECT_EQ(Slurp(dir / "loop.Zan.bak"), broken);
  const Result listed = Cli({"workspace", "loop.Zan"});
  EXPECT_EQ(listed.out, "break: e000 C Break    nom\n");
  const Result bad = Cli({"workspace", "loop.Zan.bak"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "loop.Zan.bak: octet 4: étiquette 6 où un entier est attendu\n");
}

TEST_F(RunCliTest, SettingsPatchesApplyAndTheFileIsNeverRewritten) {
  const std::string ini = "[PatchCode]\n$E008, 0, 7\n$FFFF 1 2\n";
  std::ofstream(dir / "s.ini", std::ios::binary) << ini;
  const Result r = Cli({"run", kLoop, "--settings", "s.ini", "--steps", "4", "--dump", "E007:2"});
  EXPECT_NE(r.out.find("e007   C6 07\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "Erreur: PatchCode: adresse hors limites \"$FFFF 1 2\"\n");
  EXPECT_EQ(Slurp(dir / "s.ini"), ini);
}

TEST_F(RunCliTest, DumpAndSearchShowTheWindowsRows) {
  const Result dump = Cli({"dump", kLoop, "FFF0"});
  EXPECT_EQ(
      dump.out,
      "fff0   00 00 00 00 00 00 00 00 00 00 00 00 00 00 E0 00 . . . . . . . . . . . . . . \xC3\xA0 .\n");
  const Result eeprom = Cli({"dump", kLoop, "7F0", "--eeprom"});
  EXPECT_EQ(eeprom.out.substr(eeprom.out.find('\n') + 1, 14), "0800  \n0800  \n");
  EXPECT_EQ(Cli({"dump", kLoop, "10000"}).status, 2);
  const Result search = Cli({"search", kLoop, "A"});
  EXPECT_EQ(search.out,
            "instruction\tFonction\tAdr\nA = 0\tdebprog_\tE006\n$10 = (A + #1)\tdebprog_\tE009\n");
  const Result none = Cli({"search", kLoop, "--not-interpreted"});
  EXPECT_EQ(none.out, "instruction\tFonction\tAdr\n");
}

TEST_F(RunCliTest, BrokenImageIsReportedAndStillRuns) {
  const fs::path hex = dir / "broken.HEX";
  std::ofstream(hex) << ":01E000004CD3\n\n:00000001FF\n";
  const Result r = Cli({"run", hex.string(), "--start", "E000", "--mode", "v"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("broken.HEX, ligne 2 : ligne vide"), std::string::npos) << r.err;
  // The byte before the blank line loaded, but the code end was never set.
  EXPECT_NE(r.out.find("status: adr>fin E000\n"), std::string::npos) << r.out;
}

// The demo firmware on the simulated board: each command button of the panel
// is answered over the serial link, and what it writes lands where it should.
TEST_F(RunCliTest, DemoAnswersTheCommandButtons) {
  {
    std::ofstream image(dir / "img.bin", std::ios::binary);
    std::string bytes(2048, '\0');
    bytes.replace(0x320, 5, "\x11\x22\x33\x44\x55");
    image << bytes;
  }
  struct Case {
    std::vector<std::string> extra;
    std::vector<std::string> expected;  // lines that must appear, in this order
  };
  const std::vector<Case> cases = {
      {{"--inject", "LecE2P", "--eeprom", "img.bin"},
       {"memo: uart a6", "memo: uart 11", "memo: uart 22", "memo: uart 33", "memo: uart 44",
        "memo: uart 55"}},
      {{"--inject", "EcrE2P", "--dump-eeprom", "320:16"},
       {"memo: uart a5", "memo: uart 00", "0320   00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"}},
      {{"--inject", "Ecr ram", "--dump", "800:16"},
       {"0800   00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F", "memo: uart a4", "memo: uart 00"}},
      {{"--inject", "Rest Cfg"}, {"memo: uart a8", "memo: uart 00"}},
      {{"--inject", "Sauv Cfg"}, {"memo: uart a9", "memo: uart 00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extra[1]);
    std::vector<std::string> args = {"run", "demo", "--steps", "400000"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // The received command is traced byte by byte, and no error stops the firmware.
    EXPECT_NE(r.out.find(" uart "), std::string::npos);
    EXPECT_NE(r.out.find("status: stop \n"), std::string::npos) << r.out;
    std::size_t at = 0;
    for (const std::string& line : c.expected) {
      const std::size_t found = r.out.find(line + "\n", at);
      ASSERT_NE(found, std::string::npos) << "missing '" << line << "' in\n" << r.out;
      at = found + line.size();
    }
  }
}

// A program named by its base path is loaded with its listing: the start
// label sets PC, the function list is written beside it, and the panel shows
// what the firmware drew.
TEST_F(RunCliTest, DemoLoadsThroughItsListing) {
  const Result r = Cli({"run", "demo.lst", "--mode", "v"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("trace: PC=E0"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(dir / "demo_Fonct.txt"));
  const Result idle = Cli({"run", "demo", "--steps", "300000"});
  // 145.800 MHz on the display, as the firmware shows it once started.
  EXPECT_NE(idle.out.find("panel: LbSynth=Reception 145800 kHz"), std::string::npos) << idle.out;
}

TEST_F(RunCliTest, MissingListingIsReportedAndTheImageStillRuns) {
  fs::remove(dir / "loop.lst");
  const Result r = Cli({"run", "loop", "--steps", "5"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("Manque fichier LST loop"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("status: stop \n"), std::string::npos);
}

// The literal layout stays available; the default moves overlapping boxes
// apart, and a sheet without overlap reads the same either way.
TEST_F(RunCliTest, FlowchartLayoutDesignOrClear) {
  const Result design = Cli({"flowchart", "demo", "serial_command", "--layout", "design"});
  const Result clear = Cli({"flowchart", "demo", "serial_command"});
  ASSERT_EQ(design.status, 0);
  ASSERT_EQ(clear.status, 0);
  EXPECT_NE(design.out, clear.out);
  EXPECT_EQ(Cli({"flowchart", "demo", "serial_command", "--layout", "clear"}).out, clear.out);
  EXPECT_EQ(Cli({"flowchart", "demo", "adc_read", "--layout", "design"}).out,
            Cli({"flowchart", "demo", "adc_read"}).out);
  const Result bad = Cli({"flowchart", "demo", "serial_command", "--layout", "tidy"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("[--layout design|clear]"), std::string::npos) << bad.err;
}

}  // namespace
