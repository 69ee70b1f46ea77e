// State files as a user meets them: a save and a load give back the same
// machine, bit for bit, and every file that is not a sound state of this
// program is refused with nothing of the current state changed.
#include "debugger/state_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "debugger/controller.h"
#include "reverse/sim_state.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

std::string Example(const char* name) {
  return std::string(HC11_SOURCE_DIR) + "/examples/" + name + "/" + name;
}

void WriteBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
  const std::string s = Slurp(p);
  return {s.begin(), s.end()};
}

class Counter : public StateListener {
 public:
  void StateChanged(const StateChange& c) override { changes.push_back(c.what); }
  std::vector<std::uint8_t> changes;
};

class StateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("state_file_");
    Open(c, "demo");
  }
  static void Open(Controller& k, const char* program) {
    k.session().SetUseWorkspace(false);
    k.Load(Example(program));
    k.machine().StepBudget = 5000;
  }
  static std::uint64_t Digest(Controller& k) { return StateDigest(k.machine(), &k.session().board()); }
  static void RunSteps(Controller& k, std::uint64_t steps) {
    k.machine().StepBudget = steps;
    k.Run(RunKind::Run);
  }

  std::filesystem::path dir;
  RecordingHooks hooks;
  RecordingMessages messages;
  Controller c{hooks, messages};
};

TEST_F(StateFileTest, ALoadedStateIsTheSavedOneAndRunsOnTheSame) {
  RunSteps(c, 20000);
  const std::string path = (dir / "demo.etat").string();
  ASSERT_TRUE(c.SaveState(path).ok());
  const std::uint64_t atSave = Digest(c);
  RunSteps(c, 7000);
  const std::uint64_t later = Digest(c);
  ASSERT_NE(later, atSave);

  Counter heard;
  c.Subscribe(heard);
  const StateFileResult r = c.LoadState(path);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(Digest(c), atSave);
  ASSERT_EQ(heard.changes.size(), 1u);
  EXPECT_TRUE(heard.changes[0] & ChangeRegisters);
  EXPECT_TRUE(heard.changes[0] & ChangeBoard);

  // The run resumed from the file follows the one that went on from the save.
  RunSteps(c, 7000);
  EXPECT_EQ(Digest(c), later);

  // And so does a fresh session of the same program that loads the file.
  RecordingHooks otherHooks;
  RecordingMessages otherMessages;
  Controller fresh{otherHooks, otherMessages};
  Open(fresh, "demo");
  ASSERT_TRUE(fresh.LoadState(path).ok());
  EXPECT_EQ(Digest(fresh), atSave);
  RunSteps(fresh, 7000);
  EXPECT_EQ(Digest(fresh), later);
}

TEST_F(StateFileTest, SavingTheSameStateTwiceGivesTheSameBytes) {
  RunSteps(c, 3000);
  const auto a = dir / "a.etat", b = dir / "b.etat";
  ASSERT_TRUE(c.SaveState(a.string()).ok());
  ASSERT_TRUE(c.LoadState(a.string()).ok());
  ASSERT_TRUE(c.SaveState(b.string()).ok());
  EXPECT_EQ(Slurp(a), Slurp(b));
}

TEST_F(StateFileTest, EveryRefusalIsTypedSaidAndChangesNothing) {
  RunSteps(c, 4000);
  const auto good = dir / "good.etat";
  ASSERT_TRUE(c.SaveState(good.string()).ok());
  const std::vector<std::uint8_t> bytes = ReadBytes(good);
  RunSteps(c, 1000);  // the state to keep differs from the file's

  RecordingHooks loopHooks;
  RecordingMessages loopMessages;
  Controller loop{loopHooks, loopMessages};
  Open(loop, "loop");
  const auto other = dir / "loop.etat";
  ASSERT_TRUE(loop.SaveState(other.string()).ok());

  auto newer = bytes;
  newer[8] = 2;  // the version just after the magic
  auto longer = bytes;
  longer.push_back(0);
  std::vector<std::uint8_t> text = {'d', 'e', 'b', 'p', 'r', 'o', 'g', '_', '\n'};

  struct Case {
    const char* what;
    std::filesystem::path file;
    std::vector<std::uint8_t> content;  // empty with `write` false: the file as it is
    bool write;
    StateFileError error;
    const char* says;
  };
  const Case cases[] = {
      {"another program's state", other, {}, false, StateFileError::OtherProgram, "autre programme"},
      {"a newer version", dir / "newer.etat", newer, true, StateFileError::NewerVersion, "version 2"},
      {"a text file", dir / "text.lst", text, true, StateFileError::NotStateFile,
       "n'est pas un fichier d'état"},
      {"an empty file", dir / "empty.etat", {}, true, StateFileError::Truncated, "tronqué"},
      {"bytes after the end", dir / "longer.etat", longer, true, StateFileError::Damaged, "en trop"},
      {"no such file", dir / "absent.etat", {}, false, StateFileError::Open, "lecture impossible"},
      {"a folder", dir, {}, false, StateFileError::Open, "lecture impossible"},
  };
  const std::uint64_t before = Digest(c);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    if (k.write) WriteBytes(k.file, k.content);
    Counter heard;
    c.Subscribe(heard);
    const StateFileResult r = c.LoadState(k.file.string());
    c.Unsubscribe(heard);
    EXPECT_EQ(r.error, k.error);
    EXPECT_NE(r.message.find(k.says), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(k.file.filename().string()), std::string::npos) << r.message;
    EXPECT_EQ(Digest(c), before);
    EXPECT_TRUE(heard.changes.empty());
  }
}

TEST_F(StateFileTest, EveryShorterFileIsTruncatedAndEveryFlippedByteRefused) {
  RunSteps(c, 4000);
  const std::vector<std::uint8_t> bytes =
      EncodeState(c.machine(), c.session().board(), c.session().CodeImageDigest());
  RunSteps(c, 500);
  const std::uint64_t before = Digest(c);
  Machine& m = c.machine();
  Board& board = c.session().board();
  const std::uint64_t code = c.session().CodeImageDigest();

  for (std::size_t n = 0; n < bytes.size(); ++n) {
    const StateFileResult r = DecodeState(std::span(bytes.data(), n), code, m, board, "f");
    ASSERT_EQ(r.error, StateFileError::Truncated) << "length " << n;
  }
  EXPECT_EQ(Digest(c), before);

  // A flipped bit in each field of the header, across the body and in the checksum.
  const std::size_t positions[] = {0,
                                   7,
                                   8,
                                   9,
                                   10,
                                   17,
                                   18,
                                   21,
                                   22,
                                   23,
                                   1000,
                                   70000,
                                   bytes.size() / 2,
                                   bytes.size() - 9,
                                   bytes.size() - 8,
                                   bytes.size() - 1};
  for (std::size_t at : positions) {
    for (std::uint8_t bit : {0x01, 0x80}) {
      auto flipped = bytes;
      flipped[at] ^= bit;
      const StateFileResult r = DecodeState(flipped, code, m, board, "f");
      EXPECT_FALSE(r.ok()) << "byte " << at << " bit " << int{bit};
    }
  }
  EXPECT_EQ(Digest(c), before);
}

TEST_F(StateFileTest, ASoundEnvelopeAroundABodyThatDoesNotFitIsDamaged) {
  const std::uint64_t code = c.session().CodeImageDigest();
  std::vector<std::uint8_t> body;
  {
    VectorSink sink(body);
    StateWriter w(sink);
    c.machine().Visit(w);
    c.session().board().Visit(w);
    c.session().board().VisitMemo(w);
  }
  const std::uint64_t before = Digest(c);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> body;
    const char* says;
  };
  auto shortBody = body;
  shortBody.resize(body.size() / 2);
  auto extra = body;
  extra.resize(body.size() + 64, 0);
  const Case cases[] = {
      {"half a body", shortBody, "truncated at"},
      {"the trace time missing", body, "truncated at trace/"},
      {"more than a body", extra, "unexpected bytes"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const StateFileResult r =
        DecodeState(StateFileEnvelope(k.body, code), code, c.machine(), c.session().board(), "f");
    EXPECT_EQ(r.error, StateFileError::Damaged);
    EXPECT_NE(r.message.find(k.says), std::string::npos) << r.message;
    EXPECT_EQ(Digest(c), before);
  }
}

TEST_F(StateFileTest, AnUnwritablePlaceIsAWriteErrorAndKeepsTheOldFile) {
  const auto kept = dir / "kept.etat";
  ASSERT_TRUE(c.SaveState(kept.string()).ok());
  const std::string old = Slurp(kept);
  const std::uint64_t before = Digest(c);
  RunSteps(c, 100);
  const std::uint64_t now = Digest(c);
  ASSERT_NE(now, before);

  const StateFileResult missingFolder = c.SaveState((dir / "no" / "such" / "x.etat").string());
  EXPECT_EQ(missingFolder.error, StateFileError::Write);
  EXPECT_NE(missingFolder.message.find("écriture impossible"), std::string::npos);
  EXPECT_EQ(Digest(c), now);
  EXPECT_EQ(Slurp(kept), old);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

}  // namespace
}  // namespace hc11::test
