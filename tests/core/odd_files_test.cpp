// Files that are not what their name says: a FIFO nobody writes, a folder, a
// link that loops. Every reader gives up at once with the system's reason,
// and the in-place writer never waits for a FIFO nobody reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/hex_loader.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class OddFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A reader that blocks fails the test instead of hanging the suite.
    std::signal(SIGALRM, SIG_DFL);
    ::alarm(20);
    dir = fs::path(::testing::TempDir()) /
          ("hc11_odd_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    ::alarm(0);
    fs::remove_all(dir);
  }

  // The same name as a FIFO, a folder and a link to itself, with the reason
  // each must be refused for.
  struct Odd {
    const char* kind;
    std::function<void(const fs::path&)> make;
    const char* reason;
  };
  static std::vector<Odd> Odds() {
    return {
        {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "not a regular file"},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
        {"loop", [](const fs::path& p) { fs::create_symlink(p.filename(), p); },
         "Too many levels of symbolic links"},
    };
  }

  fs::path dir;
};

TEST_F(OddFilesTest, EveryReaderRefusesAtOnceWithTheReason) {
  for (const Odd& odd : Odds()) {
    SCOPED_TRACE(odd.kind);
    const fs::path p = dir / (std::string(odd.kind) + ".HEX");
    odd.make(p);

    std::string content;
    ReadProblem problem;
    EXPECT_FALSE(ReadRegularFile(p.string(), content, problem));
    EXPECT_EQ(problem.reason, odd.reason);
    EXPECT_FALSE(problem.missing);

    BoundedLineFile lines(p.string(), 90);
    EXPECT_FALSE(lines.IsOpen());
    EXPECT_EQ(lines.problem().reason, odd.reason);

    Machine m;
    m.CodeEnd = 0x1234;
    RecordingMessages said;
    EXPECT_FALSE(LoadHexImage(m, p.string(), said));
    EXPECT_EQ(m.CodeEnd, 0x1234);
    ASSERT_EQ(said.shown.size(), 1u);
    EXPECT_NE(said.shown[0].text.find(odd.reason), std::string::npos) << said.shown[0].text;
    EXPECT_EQ(said.shown[0].text.find("fin du fichier"), std::string::npos) << said.shown[0].text;

    std::array<std::uint8_t, 16> image{};
    RecordingMessages binSaid;
    EXPECT_FALSE(LoadBinaryImage(p.string(), image, binSaid));  // looks for kind.bin: missing
    const fs::path bin = dir / (std::string(odd.kind) + ".bin");
    odd.make(bin);
    RecordingMessages binOdd;
    EXPECT_FALSE(LoadBinaryImage(bin.string(), image, binOdd));
    ASSERT_EQ(binOdd.shown.size(), 1u);
    EXPECT_NE(binOdd.shown[0].text.find(odd.reason), std::string::npos) << binOdd.shown[0].text;
  }
}

TEST_F(OddFilesTest, AHugeLineIsCutNotHeld) {
  const fs::path p = dir / "long.HEX";
  {
    std::ofstream out(p, std::ios::binary);
    out << ":02E000008601" << std::string(10'000'000, '7') << "\r\n:00000001FF\n";
  }
  BoundedLineFile lines(p.string(), 90);
  std::string line;
  ASSERT_TRUE(lines.Next(line));
  EXPECT_EQ(line.size(), 90u);
  ASSERT_TRUE(lines.Next(line));
  EXPECT_EQ(line, ":00000001FF");
  EXPECT_FALSE(lines.Next(line));
  EXPECT_TRUE(lines.problem().reason.empty());

  // The loader sees the first 90 characters, as it always did.
  Machine m;
  RecordingMessages said;
  EXPECT_TRUE(LoadHexImage(m, p.string(), said));
  EXPECT_EQ(m.Memory[0xE000], 0x86);
  EXPECT_EQ(m.CodeEnd, 0xE002);
}

TEST_F(OddFilesTest, TheInPlaceWriterNeverWaitsForAFifo) {
  const fs::path p = dir / "demo.Zan";
  ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
  std::string error;
  EXPECT_FALSE(WriteFileWhole(p.string(), "abc", error));
  EXPECT_EQ(error, "no process reads this FIFO");

  // With a reader, the bytes go through the FIFO and the node stays.
  const int reader = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(WriteFileWhole(p.string(), "abc", error)) << error;
  char got[8] = {};
  EXPECT_EQ(::read(reader, got, sizeof got), 3);
  EXPECT_EQ(std::string(got, 3), "abc");

  // A reader that goes away while the pipe is full gives an error, not a
  // program killed by SIGPIPE.
  ::close(reader);
  const int lazy = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(lazy, 0);
  std::thread closer([lazy] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::close(lazy);
  });
  EXPECT_FALSE(WriteFileWhole(p.string(), std::string(1 << 20, 'x'), error));
  closer.join();
  EXPECT_EQ(error, "Broken pipe");
  EXPECT_TRUE(fs::is_fifo(p));
}

}  // namespace
}  // namespace hc11::test
