// `hc11flow-cli run` given FIFOs and folders in place of its files, missing
// or odd option values: it ends, says why, and exits as for other bad input.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using hc11::test::CliResult;
using hc11::test::Slurp;

constexpr int kTimedOut = 124;  // timeout(1)'s status: the CLI hung

class UnusualFilesCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = hc11::test::FreshTestFolder("hc11_cli_odd_");
    hc11::test::CopyExampleInto(dir, "loop");
  }
  void TearDown() override { fs::remove_all(dir); }

  // A hang ends after 20 s with kTimedOut.
  CliResult Cli(const std::vector<std::string>& args) { return hc11::test::RunCli(dir, args, 20); }

  fs::path dir;
};

TEST_F(UnusualFilesCliTest, FifoOrFolderInPlaceOfAProgramFileEndsWithTheReason) {
  struct Case {
    const char* file;
    bool fifo;
    int status;
    const char* said;
  };
  const Case cases[] = {
      // The workspace cannot be saved there: it goes to loop.Zan.new and the status says so.
      {"loop.Zan", true, 1, "loop.Zan: lecture impossible (not a regular file)"},
      {"loop.Zan", false, 1, "loop.Zan: lecture impossible (Is a directory)"},
      {"loop.HEX", true, 0, "Image HEX loop.HEX : not a regular file"},
      {"loop.HEX", false, 0, "Image HEX loop.HEX : Is a directory"},
      {"loop_Fonct.txt", true, 0, "loop_Fonct.txt : no process reads this FIFO"},
      {"loop_Fonct.txt", false, 0, "loop_Fonct.txt : Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.fifo ? " fifo" : " folder"));
    const fs::path p = dir / c.file;
    const fs::path saved = dir / "saved";
    if (fs::is_regular_file(p)) fs::rename(p, saved);
    if (c.fifo) {
      ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    } else {
      fs::create_directory(p);
    }
    const CliResult r = Cli({"run", "loop", "--steps", "10", "--save-workspace", "loop.Zan"});
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("fichier tronqué"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("sans enregistrement de fin"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "loop.Zan.bak"));
    fs::remove_all(p);
    fs::remove(dir / "loop.Zan.new");
    fs::remove(dir / "loop.Zan");
    if (fs::exists(saved)) fs::rename(saved, p);
  }
}

TEST_F(UnusualFilesCliTest, BadValuesNameTheirRangeAndMissingFilesStopTheRun) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* said;
  };
  const Case cases[] = {
      {{"--settings", "MISSING.ini"}, 2, "cannot read settings 'MISSING.ini': No such file or directory"},
      {{"--break", "FFFFF"}, 2, "--break: ADDR must be hexadecimal 0 to FFFF: 'FFFFF'"},
      {{"--dump", "0:100000"}, 2, "COUNT 1 to 65536, got '0:100000'"},
      {{"--ocfreq", "-1"}, 2, "bad frequency '-1'"},
      {{"--break", std::string(100'000, 'F')}, 2, "FFFF…'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> args{"run", "loop", "--steps", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err.substr(0, 400);
    EXPECT_LT(r.err.size(), 400u);
  }
}

TEST_F(UnusualFilesCliTest, ForbiddenInitialValueIsSaidAndTheRunGoesOn) {
  const CliResult r = Cli({"run", "loop", "--steps", "1000", "--watch", "x=8000:$:1:1:5"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("x: Ram Interdit: 8000"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.rfind("status: stop \nmessage: \n", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("Ram Interdit"), std::string::npos) << r.out;
}

// An output named onto a file the command reads (directly or through a link)
// is refused before anything is written, and the file stays as it was.
TEST_F(UnusualFilesCliTest, AnOutputOntoAnInputOfTheCommandIsRefused) {
  fs::create_symlink("loop.lst", dir / "alias.info");
  struct Case {
    std::vector<std::string> args;
    const char* file;
    const char* said;
  };
  const Case cases[] = {
      {{"run", "loop", "--steps", "10", "--coverage", "loop.lst"},
       "loop.lst",
       "run: --coverage: 'loop.lst' is the listing, an input of the command: not overwritten"},
      {{"run", "loop", "--steps", "10", "--coverage", "alias.info"},
       "loop.lst",
       "'alias.info' is the listing"},
      {{"run", "loop", "--steps", "10", "--save-workspace", "./loop.HEX"},
       "loop.HEX",
       "run: --save-workspace: './loop.HEX' is the code image"},
      {{"elf", "loop", "-o", "loop.HEX"}, "loop.HEX", "elf: -o: 'loop.HEX' is the code image"},
      {{"elf", "loop.lst", "-o", "alias.info"}, "loop.lst", "elf: -o: 'alias.info' is the listing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const std::string before = Slurp(dir / c.file);
    const CliResult r = Cli(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(dir / c.file), before);
    EXPECT_EQ(r.out.find("status:"), std::string::npos) << "nothing runs";
  }
  // Saving the workspace over the one read is what the option is for.
  ASSERT_EQ(Cli({"run", "loop", "--steps", "10", "--save-workspace", "loop.Zan"}).status, 0);
  EXPECT_EQ(Cli({"run", "loop", "--steps", "10", "--save-workspace", "loop.Zan"}).status, 0);
}

// A device that refuses the workspace gets no ".new" file beside it, and the
// elf command's errors name the file they are about.
TEST_F(UnusualFilesCliTest, ADeviceGetsNoFallbackAndElfErrorsNameTheirFile) {
  if (fs::exists("/dev/full")) {
    const CliResult r = Cli({"run", "loop", "--steps", "10", "--save-workspace", "/dev/full"});
    const bool leftOne = fs::exists("/dev/full.new");
    if (leftOne) fs::remove("/dev/full.new");
    EXPECT_FALSE(leftOne);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ne sont pas enregistrés"), std::string::npos) << r.err;
  }
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* said;
  };
  const Case cases[] = {
      {{"elf", "loop", "-o", "absent/x.elf"}, 1, "elf: absent/x.elf: No such file or directory"},
      {{"elf", "loop", "-o", ""}, 2, "elf: -o: expected a file name, got ''"},
      {{"elf", "loop", "-o"}, 2, "elf: -o: expected a file name, got ''"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CliResult r = Cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
}

}  // namespace
