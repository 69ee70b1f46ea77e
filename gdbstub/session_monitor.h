// The monitor commands' target over a debugger session: its board's panel,
// its machine's reset and code image. A key held for some milliseconds is
// released by Poll, which the server calls from the run loop's event pump.
#pragma once

#include <cstdint>
#include <vector>

#include "debugger/session.h"
#include "gdbstub/monitor.h"

namespace hc11::gdb {

class SessionMonitor final : public MonitorTarget {
 public:
  explicit SessionMonitor(Session& session) : session_(session) {}

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

  Session& session_;
  std::vector<Hold> holds_;
};

}  // namespace hc11::gdb
