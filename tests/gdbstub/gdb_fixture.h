// A session holding the small counting loop (examples/loop), copied into a
// folder of the test's own so that loading writes nothing into the sources.
//
// E000 ldS #$00FF   E003 ldX #0   E006 clrA
// E007 debut: ldB #3   E009 boucle: addA #1   E00B stA $10   E00D decB
// E00E bne boucle   E010 callr compte   E012 jr debut
// E014 compte: incX   E015 ret
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "debugger/controller.h"
#include "debugger/session.h"
#include "tests/support/recording.h"

namespace hc11::test {

inline std::filesystem::path LoopProgramCopy() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) /
      ("gdbstub_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::filesystem::path source = std::filesystem::path(HC11_SOURCE_DIR) / "examples" / "loop";
  for (const char* ext : {".lst", ".HEX"})
    std::filesystem::copy_file(source / (std::string("loop") + ext), dir / (std::string("loop") + ext));
  return dir / "loop";
}

class LoopSession : public ::testing::Test {
 protected:
  void SetUp() override {
    controller = std::make_unique<Controller>(hooks, messages);
    session = &controller->session();
    controller->Subscribe(changes);
    session->SetUseWorkspace(false);
    session->Load(LoopProgramCopy().string());
    ASSERT_EQ(session->machine().cpu.PC, 0xE000);
  }
  Machine& machine() { return session->machine(); }

  RecordingHooks hooks;
  RecordingMessages messages;
  std::unique_ptr<Controller> controller;
  Session* session = nullptr;
  // What the controller told its listeners (the window's views), by kind.
  struct Changes : StateListener {
    void StateChanged(const StateChange& c) override {
      machine += (c.what & (ChangeRegisters | ChangeMemory)) != 0;
      lists += (c.what & ChangeLists) != 0;
      board += (c.what & ChangeBoard) != 0;
    }
    int machine = 0, lists = 0, board = 0;
  } changes;
};

}  // namespace hc11::test
