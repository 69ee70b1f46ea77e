// The stub's host over the controller: GDB's runs, edits and monitor
// commands are the controller's commands, so every front end's views follow.
#pragma once

#include "debugger/controller.h"
#include "gdbstub/dispatcher.h"

namespace hc11::gdb {

// What the stub asks of its host, carried out by the controller.
class ControllerHost : public StubHost {
 public:
  explicit ControllerHost(Controller& controller) : controller_(controller) {}
  void Continue() override { controller_.Run(RunKind::Run); }
  void StepOne() override { controller_.Run(RunKind::Step); }
  void SetRegisters(const CpuState& cpu) override { controller_.SetRegisters(cpu); }
  void WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) override {
    controller_.WriteMemory(address, bytes);
  }
  void BreaksChanged() override { controller_.Edited(ChangeLists); }
  void Press(const PanelInput& input) override { controller_.Press(input); }
  void SendSerial(std::span<const std::uint8_t> bytes) override { controller_.SendSerial(bytes); }
  void Reset() override { controller_.Reset(); }
  bool ReloadImage() override { return controller_.ReloadImage(); }

 private:
  Controller& controller_;
};

}  // namespace hc11::gdb
