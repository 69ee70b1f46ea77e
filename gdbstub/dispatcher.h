// The stub's answers: one packet payload in, one reply payload out, acting on
// a debugger session (its machine and breakpoint list). Runs ("c", "s",
// vCont) happen inside Handle through the host, which the window routes
// through its own run commands so its views follow; the server polls the
// client from the run loop's event pump and calls Interrupt or ClientGone.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "board/panel_input.h"
#include "core/run_engine.h"
#include "debugger/session.h"
#include "gdbstub/gdb_breaks.h"
#include "gdbstub/monitor.h"
#include "gdbstub/reverse.h"

namespace hc11::gdb {

// What the stub asks of the program hosting it: every command that runs the
// machine or changes it. The controller carries them out (ControllerHost),
// so every front end's views follow what a GDB client does.
class StubHost {
 public:
  virtual ~StubHost() = default;
  // A run until something stops it, and one instruction.
  virtual void Continue() = 0;
  virtual void StepOne() = 0;
  virtual void SetRegisters(const CpuState& cpu) = 0;
  virtual void WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) = 0;
  // The breakpoint list changed (an entry came or went).
  virtual void BreaksChanged() = 0;
  // The monitor commands' panel inputs, serial bytes, reset and reload.
  virtual void Press(const PanelInput& input) = 0;
  virtual void SendSerial(std::span<const std::uint8_t> bytes) = 0;
  virtual void Reset() = 0;
  virtual bool ReloadImage() = 0;
};

enum class ClientEnd { None, Detach, Kill };

class Dispatcher {
 public:
  // `reverse` may be null: the reverse packets are then not offered.
  Dispatcher(Session& session, GdbBreakpoints& breaks, StubHost& host, ReverseExecution* reverse = nullptr);

  // The reply payload (unframed); nullopt when nothing is to be sent: after
  // "k", or when the client went away during a run.
  std::optional<std::string> Handle(std::string_view payload);

  // From the server while a run started here is going on.
  bool Running() const { return running_; }
  void Interrupt();
  void ClientGone();

  // Where "monitor" commands (qRcmd) go; none: they are not answered.
  void SetMonitor(MonitorTarget* monitor) { monitor_ = monitor; }

  // Set by "QStartNoAckMode": acknowledgements stop after its reply.
  bool TakeNoAckRequest();
  ClientEnd end() const { return end_; }

 private:
  std::string Supported() const;
  std::string ReadFeatures(std::string_view args) const;
  std::string ReadMemory(std::string_view args) const;
  std::string WriteMemory(std::string_view args, bool binary);
  std::string RegisterPacket(std::string_view payload);
  std::string BreakPacket(std::string_view payload);
  std::optional<std::string> Resume(char action, std::string_view address);
  std::optional<std::string> ResumeCont(std::string_view args);
  std::optional<std::string> Reverse(bool continueBack);
  std::optional<std::string> AfterRun(bool stepping);
  std::string Monitor(std::string_view hexCommand);

  Machine& machine_;
  GdbBreakpoints& breaks_;
  StubHost& host_;
  ReverseExecution* reverse_;
  MonitorTarget* monitor_ = nullptr;
  std::string lastStop_ = "S05";
  bool running_ = false;
  bool interrupted_ = false;
  bool gone_ = false;
  bool noAckRequest_ = false;
  ClientEnd end_ = ClientEnd::None;
};

}  // namespace hc11::gdb
