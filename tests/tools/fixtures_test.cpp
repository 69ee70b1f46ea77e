// Every checked-in listing and HEX image is exactly what the generator makes
// of its source today. After a change to the generator or a source, run
// scripts/regen-fixtures and commit the regenerated files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tools/lstgen/generate.h"

namespace hc11::lstgen {
namespace {

namespace fs = std::filesystem;
using test::Slurp;

std::vector<fs::path> CheckedInSources() {
  std::vector<fs::path> sources;
  for (const char* top : {"examples", "tests"}) {
    const fs::path dir = fs::path(HC11_SOURCE_DIR) / top;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      if (entry.is_regular_file() && entry.path().extension() == ".asm") sources.push_back(entry.path());
  }
  std::sort(sources.begin(), sources.end());
  return sources;
}

TEST(Fixtures, CheckedInFilesMatchARegeneration) {
  const std::vector<fs::path> sources = CheckedInSources();
  ASSERT_FALSE(sources.empty());
  const fs::path out = fs::path(::testing::TempDir()) / "hc11_fixtures";
  fs::create_directories(out);
  for (const fs::path& source : sources) {
    SCOPED_TRACE(source.string());
    const std::string stem = source.stem().string();
    std::ostringstream messages;
    ASSERT_TRUE(GenerateFiles(source.string(), (out / stem).string(), messages)) << messages.str();
    for (const char* ext : {".lst", ".HEX"}) {
      fs::path checkedIn = source;
      checkedIn.replace_extension(ext);
      ASSERT_TRUE(fs::exists(checkedIn)) << checkedIn << " missing: run scripts/regen-fixtures";
      EXPECT_TRUE(Slurp(out / (stem + ext)) == Slurp(checkedIn))
          << checkedIn << " differs from a regeneration: run scripts/regen-fixtures";
    }
  }
  fs::remove_all(out);
}

TEST(Fixtures, NothingIsWrittenForABadSource) {
  const fs::path dir = fs::path(::testing::TempDir()) / "hc11_fixtures_bad";
  fs::create_directories(dir);
  std::ofstream(dir / "bad.asm") << "        org $E000\n        ldA nowhere\n";
  std::ostringstream messages;
  EXPECT_FALSE(GenerateFiles((dir / "bad.asm").string(), (dir / "bad").string(), messages));
  EXPECT_NE(messages.str().find("bad.asm:2: error: undefined symbol 'nowhere'"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "bad.lst"));
  EXPECT_FALSE(fs::exists(dir / "bad.HEX"));
  EXPECT_FALSE(GenerateFiles((dir / "missing.asm").string(), (dir / "missing").string(), messages));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace hc11::lstgen
