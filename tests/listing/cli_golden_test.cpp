// hc11flow-cli lines / symbols / functions on the demo, against golden files
// in tests/listing/golden. Regenerate them with HC11_UPDATE_GOLDEN=1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/listing/listing_text.h"

namespace hc11 {
namespace {

// The first line where two texts differ, or empty when they are equal.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
  std::istringstream a(actual), e(expected);
  std::string la, le;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, la)), moreE = static_cast<bool>(std::getline(e, le));
    if (!moreA && !moreE) return {};
    if (moreA != moreE || la != le)
      return "line " + std::to_string(line) + ":\n  got:      " + (moreA ? la : "<end>") +
             "\n  expected: " + (moreE ? le : "<end>");
  }
}

int RunCli(const std::string& args, const std::string& out, const std::string& err) {
  const std::string command =
      std::string("\"") + HC11_CLI_PATH + "\" " + args + " >\"" + out + "\" 2>\"" + err + "\"";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ListingCli, DemoMatchesGoldenFiles) {
  const std::string source = HC11_SOURCE_DIR;
  test::TempDir dir;
  std::filesystem::copy_file(source + "/examples/demo/demo.lst", dir.File("demo.lst"));
  const bool update = std::getenv("HC11_UPDATE_GOLDEN") != nullptr;
  for (const std::string command : {"lines", "symbols", "functions"}) {
    SCOPED_TRACE(command);
    const std::string out = dir.File(command + ".out"), err = dir.File(command + ".err");
    // The base path and the listing path name the same program.
    const std::string program = command == "symbols" ? dir.File("demo.lst") : dir.File("demo");
    ASSERT_EQ(RunCli(command + " \"" + program + "\"", out, err), 0) << test::TempDir::Read(err);
    EXPECT_EQ(test::TempDir::Read(err), "");
    const std::string golden = source + "/tests/listing/golden/demo_" + command + ".txt";
    if (update) std::filesystem::copy_file(out, golden, std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(FirstDifference(test::TempDir::Read(out), test::TempDir::Read(golden)), "")
        << "HC11_UPDATE_GOLDEN=1 regenerates " << golden;
  }
  EXPECT_TRUE(std::filesystem::exists(dir.File("demo_Fonct.txt")));  // written by "functions" only
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")), {}), 8);

  const std::string out = dir.File("missing.out"), err = dir.File("missing.err");
  EXPECT_EQ(RunCli("lines \"" + dir.File("absent") + "\"", out, err), 2);
  EXPECT_EQ(test::TempDir::Read(err), "Manque fichier LST " + dir.File("absent") + "\n");
}

}  // namespace
}  // namespace hc11
