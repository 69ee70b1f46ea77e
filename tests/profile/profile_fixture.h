// Tiny programs assembled into a folder of the test's own and loaded into a
// fresh session with counting on.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/run_engine.h"
#include "debugger/session.h"
#include "tests/support/recording.h"
#include "tools/lstgen/generate.h"

namespace hc11::test {

inline std::filesystem::path ProfileFolder() {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                                    ("hc11_profile_" + std::to_string(::getpid()) + "_" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// Writes `source` as NAME.asm in `dir` and assembles NAME.lst and NAME.HEX;
// returns the base path.
inline std::string Assemble(const std::filesystem::path& dir, const std::string& name,
                            const std::string& source) {
  const std::string asmPath = (dir / (name + ".asm")).string();
  std::ofstream(asmPath) << source;
  std::ostringstream diagnostics;
  const std::string base = (dir / name).string();
  EXPECT_TRUE(lstgen::GenerateFiles(asmPath, base, diagnostics)) << diagnostics.str();
  return base;
}

struct ProfiledProgram {
  RecordingHooks hooks;
  RecordingMessages messages;
  std::unique_ptr<Session> session;

  explicit ProfiledProgram(const std::string& base) : session(std::make_unique<Session>(hooks, messages)) {
    session->SetUseWorkspace(false);
    session->Load(base);
    Machine& m = session->machine();
    m.cpu.PC = m.StartPC;
    session->profiler().Enable(m, true);
  }
  Machine& m() { return session->machine(); }
  const ExecCounters& counters() { return session->profiler().counters(); }
  ProfileTable table() { return session->profiler().Table(m().CycleCount); }
  // Runs until the program stops itself (a jump past the code), or `steps`.
  void Run(std::uint64_t steps = 0) {
    m().StepBudget = steps;
    RunCommand(m(), kModeRun, false);
  }
  FunctionProfile Row(const std::string& name) {
    for (const FunctionProfile& r : table().rows)
      if (r.name == name) return r;
    ADD_FAILURE() << "no row " << name;
    return {};
  }
  std::uint16_t Address(const std::string& label) {
    for (const TSynElem& e : session->listing().LineList)
      if (e.Label == label) return static_cast<std::uint16_t>(std::stoul(e.AddrText, nullptr, 16));
    ADD_FAILURE() << "no label " << label;
    return 0;
  }
};

}  // namespace hc11::test
