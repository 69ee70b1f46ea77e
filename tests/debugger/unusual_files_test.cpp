// The session's files when they are not what they should be: odd nodes in
// place of the workspace or settings, a link to a foreign file, two sessions
// on one workspace, files full of long or bad lines. Nothing hangs, nothing
// foreign is written, nothing of the user's is lost unsaid, and each file's
// problems make one short message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/run_engine.h"
#include "debugger/session.h"
#include "debugger/workspace_file.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class UnusualFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::signal(SIGALRM, SIG_DFL);
    ::alarm(30);  // a blocked reader fails the test rather than hanging
    dir = FreshTestFolder("hc11_unusual_");
    base = CopyExampleInto(dir, "loop");
  }
  void TearDown() override {
    ::alarm(0);
    fs::remove_all(dir);
  }

  // Every message shown, joined, for searching.
  static std::string All(const RecordingMessages& m) {
    std::string all;
    for (const ShownMessage& s : m.shown) all += s.text + "\n";
    return all;
  }

  fs::path dir;
  std::string base;
  RecordingHooks hooks;
  RecordingMessages messages;
};

TEST_F(UnusualFilesTest, OddWorkspaceIsRefusedWithItsReasonAndTheListsGoBeside) {
  struct Case {
    const char* kind;
    std::function<void(const fs::path&)> make;
    const char* reason;
  };
  const Case cases[] = {
      {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "not a regular file"},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    const fs::path zan = base + ".Zan";
    fs::remove_all(zan);
    fs::remove(base + ".Zan.new");
    c.make(zan);
    RecordingMessages said;
    Session session(hooks, said);
    session.Load(base);
    ASSERT_EQ(said.shown.size(), 1u) << All(said);
    EXPECT_NE(said.shown[0].text.find(std::string("loop.Zan: lecture impossible (") + c.reason + ")"),
              std::string::npos)
        << said.shown[0].text;

    session.breakpoints().Append({"x", 0xE000, 'C', 2}, true);
    said.shown.clear();
    EXPECT_FALSE(session.SaveWorkspace(session.WorkspaceFile()));
    // Not moved, not emptied, no ".bak": the lists are in ".Zan.new", and the message says so.
    EXPECT_FALSE(fs::exists(base + ".Zan.bak"));
    EXPECT_EQ(fs::is_directory(zan), std::string(c.kind) == "folder");
    EXPECT_EQ(Slurp(base + ".Zan.new"), EncodeWorkspace(session.breakpoints().entries(), {}));
    ASSERT_EQ(said.shown.size(), 1u) << All(said);
    EXPECT_NE(said.shown[0].text.find("loop.Zan.new"), std::string::npos) << said.shown[0].text;
  }
}

TEST_F(UnusualFilesTest, LinkToAForeignFileIsKeptAsTheBakAndItsTargetUntouched) {
  const fs::path foreign = dir / "passwd-copy";
  const std::string system = "root:x:0:0:root:/root:/bin/bash\n";
  std::ofstream(foreign, std::ios::binary) << system;
  fs::create_symlink(foreign, base + ".Zan");
  Session session(hooks, messages);
  session.Load(base);
  EXPECT_NE(All(messages).find("loop.Zan: octet"), std::string::npos) << All(messages);
  session.watches().New();
  messages.shown.clear();
  ASSERT_TRUE(session.Save());
  EXPECT_EQ(Slurp(foreign), system);
  EXPECT_TRUE(fs::is_symlink(base + ".Zan.bak"));
  EXPECT_EQ(fs::read_symlink(base + ".Zan.bak"), foreign);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(base + ".Zan")));
  EXPECT_EQ(Slurp(base + ".Zan"), EncodeWorkspace({}, session.watches().entries()));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("gardé tel quel dans"), std::string::npos) << messages.shown[0].text;

  // A link to a real workspace is still written through.
  const fs::path real = dir / "shared.Zan";
  std::ofstream(real, std::ios::binary) << EncodeWorkspace({}, {});
  fs::remove(base + ".Zan");
  fs::create_symlink(real, base + ".Zan");
  Session second(hooks, messages);
  second.Load(base);
  second.breakpoints().Append({"y", 0xE002, 'C', 2}, true);
  ASSERT_TRUE(second.SaveWorkspace(second.WorkspaceFile()));
  EXPECT_TRUE(fs::is_symlink(base + ".Zan"));
  EXPECT_EQ(Slurp(real), EncodeWorkspace(second.breakpoints().entries(), {}));
}

TEST_F(UnusualFilesTest, TwoSessionsOnOneWorkspaceLoseNeitherSide) {
  std::ofstream(base + ".Zan", std::ios::binary) << EncodeWorkspace({{"a", 0xE000, 'C', 2}}, {});
  RecordingMessages saidA, saidB;
  Session a(hooks, saidA), b(hooks, saidB);
  a.Load(base);
  b.Load(base);
  b.breakpoints().Append({"de b", 0xE002, 'C', 2}, true);
  ASSERT_TRUE(b.SaveWorkspace(b.WorkspaceFile()));
  EXPECT_TRUE(saidB.shown.empty());
  const std::string fromB = Slurp(base + ".Zan");

  a.breakpoints().Append({"de a", 0xE004, 'C', 3}, true);
  ASSERT_TRUE(a.SaveWorkspace(a.WorkspaceFile()));
  EXPECT_EQ(Slurp(base + ".Zan"), EncodeWorkspace(a.breakpoints().entries(), {}));
  EXPECT_EQ(Slurp(base + ".Zan.bak"), fromB);
  ASSERT_EQ(saidA.shown.size(), 1u);
  EXPECT_EQ(saidA.shown[0].kind, MsgKind::Warning);
  EXPECT_NE(saidA.shown[0].text.find("modifié par une autre session"), std::string::npos);
  EXPECT_NE(saidA.shown[0].text.find("loop.Zan.bak"), std::string::npos);

  // A's own next save finds the file as A left it: nothing more to keep.
  saidA.shown.clear();
  ASSERT_TRUE(a.SaveWorkspace(a.WorkspaceFile()));
  EXPECT_TRUE(saidA.shown.empty());
  EXPECT_EQ(Slurp(base + ".Zan.bak"), fromB);
}

TEST_F(UnusualFilesTest, ForbiddenInitialValueIsOneInitMessageAndNeverStopsTheRun) {
  TSurv w;
  w.name = "x";
  w.address = 0x8000;
  w.initial = "5";
  std::ofstream(base + ".Zan", std::ios::binary) << EncodeWorkspace({}, {w});
  Session session(hooks, messages);
  session.Load(base);
  ASSERT_EQ(messages.shown.size(), 1u) << All(messages);
  EXPECT_EQ(messages.shown[0].text, "x: Ram Interdit: 8000");
  Machine& m = session.machine();
  EXPECT_FALSE(m.StopFlag);
  m.StepBudget = 50;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.StopMessage, "");
  EXPECT_GT(m.CycleCount, 49);  // not one step
}

TEST_F(UnusualFilesTest, EveryFileBuiltMessageIsShortAndOnePerFile) {
  const std::string huge(1'000'000, 'Z');
  Session session(hooks, messages);
  for (int i = 0; i < 30; ++i)
    session.settings().patchLines.push_back("$E000 x" + std::to_string(i) + " " + huge);
  // A workspace whose records look wrong and that runs on past its end.
  TSurv bad;
  bad.name = huge;
  bad.address = 0xFFFF;
  bad.initial = "1 2 3";
  bad.elements = 3;
  std::string zan = EncodeWorkspace({{"s", 0xE000, 'C', 9}, {"k", 0xE001, '\x01', 2}}, {bad, bad});
  zan += "junk";
  std::ofstream(base + ".Zan", std::ios::binary) << zan;
  session.Load(base);
  ASSERT_EQ(messages.shown.size(), 1u) << All(messages).substr(0, 2000);
  const std::string& text = messages.shown[0].text;
  EXPECT_LT(text.size(), 22 * 300u);
  EXPECT_NE(text.find("PatchCode: ligne invalide \"$E000 x0 ZZZ"), std::string::npos);
  EXPECT_NE(text.find("Z…"), std::string::npos);
  EXPECT_NE(text.find("état 9 inconnu"), std::string::npos) << text;
  EXPECT_NE(text.find("type \"\\x01\" inconnu"), std::string::npos) << text;
  EXPECT_NE(text.find("4 octet(s) en trop"), std::string::npos) << text;
  EXPECT_NE(text.find("autres messages"), std::string::npos) << text;
  for (const std::string& line : session.breakpoints().Lines())
    EXPECT_EQ(line.find('\x01'), std::string::npos);
  EXPECT_EQ(session.breakpoints().Lines()[0], "e000 C 9        s");
}

TEST_F(UnusualFilesTest, UnreadableSettingsAreSaidOnceWithTheReasonAndKept) {
  const fs::path ini = dir / "hc11flow.ini";
  fs::create_directory(ini);
  Session session(hooks, messages);
  session.ReadSettings(ini.string());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("lecture impossible (Is a directory)"), std::string::npos)
      << messages.shown[0].text;
  messages.shown.clear();
  EXPECT_FALSE(session.SaveSettings());
  EXPECT_TRUE(fs::is_directory(ini));
  EXPECT_NE(Slurp(ini.string() + ".new").find("[Fichier]"), std::string::npos);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("hc11flow.ini.new"), std::string::npos) << messages.shown[0].text;
}

TEST_F(UnusualFilesTest, ListingOfNothingRecognisableIsSaid) {
  std::string noise;
  for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919) % 251);
  std::ofstream(base + ".lst", std::ios::binary) << noise;
  Session session(hooks, messages);
  session.Load(base);
  EXPECT_NE(All(messages).find("ne contient aucune ligne de listing"), std::string::npos) << All(messages);
}

}  // namespace
}  // namespace hc11::test
