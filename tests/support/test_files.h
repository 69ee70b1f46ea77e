// Files for tests: a folder of the test's own, copies of an example program
// in it, a file's whole contents.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hc11::test {

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// An empty folder named after the process and the running test, so
// concurrent runs never share one.
inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                                    (prefix + std::to_string(::getpid()) + "_" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// Copies examples/NAME/NAME.lst and .HEX into `dir`; returns the program's
// path without extension.
inline std::string CopyExampleInto(const std::filesystem::path& dir, const std::string& name) {
  for (const char* ext : {".lst", ".HEX"})
    std::filesystem::copy_file(std::filesystem::path(HC11_SOURCE_DIR) / "examples" / name / (name + ext),
                               dir / (name + ext), std::filesystem::copy_options::overwrite_existing);
  return (dir / name).string();
}

}  // namespace hc11::test
