// Session Init and Save on the loop example: the workspace comes back
// registered, watches' initial values and patches land, files are kept.
#include "debugger/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/run_engine.h"
#include "debugger/workspace_file.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("hc11_session_");
    base = CopyExampleInto(dir, "loop");
  }
  void TearDown() override { fs::remove_all(dir); }

  void WriteWorkspace(const std::vector<Tbreak>& breaks, const std::vector<TSurv>& watches) {
    std::ofstream(base + ".Zan", std::ios::binary) << EncodeWorkspace(breaks, watches);
  }

  fs::path dir;
  std::string base;
  RecordingHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
};

TEST_F(SessionTest, InitRestoresTheWorkspaceWritesInitialValuesAndPatches) {
  TSurv w;
  w.name = "init";
  w.address = 0x20;
  w.initial = "55 66";
  w.elements = 2;
  WriteWorkspace({{"compteur", 0x10, 'm', 2}, {"nom", 0xE00D, 'C', 3}}, {w});
  session.settings().patchLines = {"$E008 0 7"};
  session.options().Set("AfReg", true);
  session.options().Set("TracerAff", true);
  session.Load(base);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(session.breakpoints().Lines(),
            (std::vector<std::string>{"0010 m Break    compteur", "e00d C Trace    nom"}));
  Machine& m = session.machine();
  EXPECT_EQ(m.WriteTagTable[0x10].ramBreak, RamBreakChange);
  EXPECT_EQ(m.tInst[0xE00D], 3);
  EXPECT_EQ(m.Memory[0x20], 0x55);
  EXPECT_EQ(m.Memory[0x21], 0x66);
  EXPECT_EQ(m.Memory[0xE008], 7);
  EXPECT_EQ(session.watches().Lines(), std::vector<std::string>{"Im init         20=   55   66"});
  EXPECT_EQ(session.settings().Reglage("CoefQuartz"), "16");
  EXPECT_FALSE(session.options().Checked("AfReg"));
  EXPECT_FALSE(session.options().Checked("TracerAff"));
  EXPECT_EQ(hooks.stopReason, "");

  // The restored RAM breakpoint stops the program's first store.
  m.StepBudget = 100;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(hooks.stopReason, "Break 0010 m Break    compteur");
  EXPECT_EQ(m.cpu.PC, 0xE00D);
}

TEST_F(SessionTest, SaveWritesBothFilesWholeAndKeepsForeignLines) {
  const std::string ini = (dir / "hc11flow.ini").string();
  std::ofstream(ini, std::ios::binary) << "; notes\n[PatchCode]\n$E008 0 7\n";
  session.ReadSettings(ini);
  session.Load(base);
  session.breakpoints().Append({"x", 0xE000, 'C', 2}, true);
  session.watches().New();
  ASSERT_TRUE(session.Save());
  const std::string text = Slurp(ini);
  EXPECT_EQ(text.find("; notes\n[PatchCode]\n$E008 0 7\n[Fichier]\n"), 0u) << text;
  const std::string zan = Slurp(base + ".Zan");
  EXPECT_EQ(zan, EncodeWorkspace(session.breakpoints().entries(), session.watches().entries()));
  EXPECT_FALSE(fs::exists(base + ".Zan.bak"));
  // Init reads back what was saved.
  session.Init(false);
  EXPECT_EQ(session.breakpoints().Lines(), std::vector<std::string>{"e000 C Break    x"});
  EXPECT_EQ(session.watches().entries().size(), 1u);
}

TEST_F(SessionTest, BrokenWorkspaceKeepsWhatWasReadAndIsBackedUpBeforeTheSave) {
  std::string bytes = EncodeWorkspace({{"a", 0x10, 'C', 2}, {"b", 0x20, 'C', 2}}, {});
  bytes.resize(bytes.size() - 8);  // the second record breaks off
  std::ofstream(base + ".Zan", std::ios::binary) << bytes;
  session.Load(base);
  ASSERT_EQ(messages.shown.size(), 1u);  // once per Init, though read twice
  EXPECT_NE(messages.shown[0].text.find("loop.Zan: octet "), std::string::npos) << messages.shown[0].text;
  EXPECT_EQ(session.breakpoints().Lines(), std::vector<std::string>{"0010 C Break    a"});
  ASSERT_TRUE(session.Save());
  EXPECT_EQ(Slurp(base + ".Zan.bak"), bytes);
  // The next save has nothing left to keep: the backup stays as it was.
  session.breakpoints().ClearAll();
  ASSERT_TRUE(session.Save());
  EXPECT_EQ(Slurp(base + ".Zan.bak"), bytes);
}

TEST_F(SessionTest, TraceListKeepsTheLast3001LinesTheHostHearsEachAndInitEmptiesIt) {
  Machine& m = session.machine();
  for (int i = 0; i < 3001; ++i) m.AppendTraceLine(std::to_string(i));
  EXPECT_EQ(session.trace().lines().front(), "0");
  m.EventTrace("uart 41");
  ASSERT_EQ(session.trace().lines().size(), 3001u);
  EXPECT_EQ(session.trace().lines().front(), "1");
  EXPECT_TRUE(session.trace().lines().back().ends_with("ms uart 41")) << session.trace().lines().back();
  EXPECT_EQ(hooks.trace.size(), 3002u);

  session.Load(base);
  EXPECT_TRUE(session.trace().lines().empty());
}

}  // namespace
}  // namespace hc11::test
