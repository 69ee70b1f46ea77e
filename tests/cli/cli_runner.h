// Runs hc11flow-cli as a script would, in a folder of the test's own, and
// collects its exit status and both streams.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace hc11::test {

struct CliResult {
  int status = -1;
  std::string out, err;
};

// Runs the CLI from `dir`, so nothing depends on the caller's folder and file
// names in messages stay short. With a bound, a run that hangs is ended after
// that many seconds with timeout(1)'s status, 124. With a signal too (INT,
// TERM), the signal ends it and the status is the CLI's own.
inline CliResult RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args,
                        int boundSeconds = 0, const std::string& signal = "") {
  auto quote = [](const std::string& s) { return "'" + s + "'"; };
  std::string cmd = "cd " + quote(dir.string()) + " && ";
  if (boundSeconds > 0 && !signal.empty())
    cmd += "timeout --preserve-status -k 20 -s " + signal + " " + std::to_string(boundSeconds) + " ";
  else if (boundSeconds > 0)
    cmd += "timeout " + std::to_string(boundSeconds) + " ";
  cmd += quote(HC11_CLI_PATH);
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
