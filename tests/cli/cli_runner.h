// Runs hc11flow-cli as a script would, in a folder of the test's own, and
// collects its exit status and both streams.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hc11::test {

struct CliResult {
  int status = -1;
  std::string out, err;
};

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

// Runs the CLI from `dir`, so nothing depends on the caller's folder and file
// names in messages stay short.
inline CliResult RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args) {
  auto quote = [](const std::string& s) { return "'" + s + "'"; };
  std::string cmd = "cd " + quote(dir.string()) + " && " + quote(HC11_CLI_PATH);
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >out.txt 2>err.txt";
  const int raw = std::system(cmd.c_str());
  CliResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(dir / "out.txt");
  r.err = Slurp(dir / "err.txt");
  return r;
}

}  // namespace hc11::test
