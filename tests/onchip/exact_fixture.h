// A machine with the board in exact mode, running tiny assembled programs
// through the run engine, with the register block reached as the
// firmware's loads and stores reach it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "core/machine.h"
#include "core/run_engine.h"
#include "tests/support/recording.h"
#include "tools/lstgen/assembly.h"

namespace hc11::test {

// The register names the programs use, as offsets the board's firmware knows.
inline constexpr const char* kRegisterNames =
    "TCNT equ $100E\nTOC1 equ $1016\nTOC2 equ $1018\nTMSK1 equ $1022\nTFLG1 equ $1023\n"
    "TMSK2 equ $1024\nTFLG2 equ $1025\nPACTL equ $1026\nBAUD equ $102B\nSCCR1 equ $102C\n"
    "SCCR2 equ $102D\nSCSR equ $102E\nSCDR equ $102F\nADCTL equ $1030\nOPTION equ $1039\n"
    "COPRST equ $103A\nHPRIO equ $103C\nCONFIG equ $103F\n";

class ExactTest : public ::testing::Test {
 protected:
  // Assembles `source` (the register names above are defined), loads it,
  // resets in exact mode and starts at `start`.
  void Load(const std::string& source) {
    const lstgen::Assembly a = lstgen::Assemble(std::string(kRegisterNames) + source);
    ASSERT_TRUE(a.Ok()) << (a.diagnostics.empty() ? "" : a.diagnostics[0].message);
    for (std::uint32_t addr = 0; addr < 0x10000; ++addr)
      if (a.image.Used(static_cast<std::uint16_t>(addr)))
        machine.Memory[addr] = a.image.At(static_cast<std::uint16_t>(addr));
    for (const lstgen::Symbol& s : a.symbols)
      if (s.name == "start") machine.StartPC = static_cast<std::uint16_t>(s.value);
    machine.CodeEnd = 0xFFFF;
    machine.ClearWriteTags();
    machine.Exact = true;
    machine.ResetMachine();
    machine.RunMode = kModeStop;
  }
  // Runs `steps` steps, or until a breakpoint stops the run.
  StopCause Run(std::uint64_t steps) {
    machine.StepBudget = steps;
    RunCommand(machine, kModeRun, false);
    return machine.Stop.cause;
  }
  // Runs until CycleCount reaches `cycles` (a step at a time past it at most).
  void RunUntil(std::int64_t cycles) {
    while (machine.CycleCount < cycles)
      Run(static_cast<std::uint64_t>(std::max<std::int64_t>(1, (cycles - machine.CycleCount) / 4)));
  }
  std::uint8_t Byte(std::uint16_t address) const { return machine.Memory[address]; }
  std::uint16_t Word(std::uint16_t address) const {
    return static_cast<std::uint16_t>(machine.Memory[address] << 8 | machine.Memory[address + 1u]);
  }
  // The firmware's own access to a register at CycleCount `at`.
  void StoreAt(std::int64_t at, std::uint16_t address, std::uint8_t value) {
    machine.CycleCount = at;
    machine.MemWrite8(address, value, TagData);
  }
  std::uint8_t LoadAt(std::int64_t at, std::uint16_t address) {
    machine.CycleCount = at;
    return machine.MemRead8(address);
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Machine machine{&hooks};
  Board board{machine, messages};
};

}  // namespace hc11::test
