#include "core/file_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class FileWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("hc11_write_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  int Entries() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }

  fs::path dir;
  std::string error;
};

TEST_F(FileWriteTest, CreatesAndReplacesKeepingTheMode) {
  const fs::path target = dir / "prog_Fonct.txt";
  ASSERT_TRUE(WriteFileWhole(target.string(), "first\r\n", error)) << error;
  EXPECT_EQ(Read(target), "first\r\n");

  ::chmod(target.c_str(), 0640);
  ASSERT_TRUE(WriteFileWhole(target.string(), std::string("se\0cond", 7), error)) << error;
  EXPECT_EQ(Read(target), std::string("se\0cond", 7));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(), 1) << "no temporary file is left behind";
}

TEST_F(FileWriteTest, PlantedLinkAtTheOldTemporaryNameIsNotFollowed) {
  const fs::path victim = dir / "victim";
  std::ofstream(victim) << "keep";
  fs::create_symlink(victim, dir / "prog.svg.tmp");
  ASSERT_TRUE(WriteFileWhole((dir / "prog.svg").string(), "<svg/>", error)) << error;
  EXPECT_EQ(Read(victim), "keep");
  EXPECT_EQ(Read(dir / "prog.svg"), "<svg/>");
}

TEST_F(FileWriteTest, SymlinkTargetStaysALink) {
  fs::create_directories(dir / "real");
  std::ofstream(dir / "real" / "data.txt") << "old";
  fs::create_symlink("real/data.txt", dir / "link.txt");
  ASSERT_TRUE(WriteFileWhole((dir / "link.txt").string(), "new", error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(Read(dir / "real" / "data.txt"), "new");
  EXPECT_EQ(Entries(), 2);
}

TEST_F(FileWriteTest, FifoIsWrittenInPlace) {
  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The reader is there first: a FIFO nobody reads is refused, never waited on.
  // The pipe holds the few bytes until they are read after the write.
  const int readEnd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(readEnd, 0);
  const bool ok = WriteFileWhole(fifo.string(), "through the pipe", error);
  std::string received;
  char buffer[64];
  for (ssize_t n; (n = ::read(readEnd, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  ::close(readEnd);
  EXPECT_TRUE(ok) << error;
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Entries(), 1);
}

TEST_F(FileWriteTest, FailuresGiveTheReasonAndTouchNothing) {
  EXPECT_FALSE(WriteFileWhole((dir / "missing" / "x.txt").string(), "x", error));
  EXPECT_EQ(error, "No such file or directory");

  fs::create_directories(dir / "sub");
  EXPECT_FALSE(WriteFileWhole((dir / "sub").string(), "x", error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_TRUE(fs::is_directory(dir / "sub"));

  fs::create_symlink("loop", dir / "loop");
  EXPECT_FALSE(WriteFileWhole((dir / "loop").string(), "x", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Entries(), 2);
}

}  // namespace
}  // namespace hc11::test
