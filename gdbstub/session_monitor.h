// The monitor commands' target over a debugger session: what it changes goes
// through the stub's host (the controller), what it reads comes from the
// session. A key held for some milliseconds is released by Poll, which the
// server calls from the run loop's event pump.
#pragma once

#include <cstdint>
#include <vector>

#include "debugger/session.h"
#include "gdbstub/dispatcher.h"
#include "gdbstub/monitor.h"

namespace hc11::gdb {

class SessionMonitor final : public MonitorTarget {
 public:
  SessionMonitor(const Session& session, StubHost& host) : session_(session), host_(host) {}

  void Reset() override;
  bool Init() override;
  bool PressKey(std::string_view caption, std::optional<unsigned> holdMs) override;
  bool ReleaseKey(std::string_view caption) override;
  bool InjectButton(std::string_view caption) override;
  void SendSerial(std::span<const std::uint8_t> bytes) override;
  std::string PanelText() const override;
  std::int64_t Cycles() const override;

  // Releases the keys whose hold time has passed.
  void Poll();

 private:
  struct Hold {
    std::string caption;
    std::int64_t releaseAt;  // cycle count
  };
  void Release(const std::string& caption);

  const Session& session_;
  StubHost& host_;
  std::vector<Hold> holds_;
};

}  // namespace hc11::gdb
