// GDB's "monitor" commands (qRcmd): the board's panel and reset from the GDB
// prompt, answered as text. The commands act on a MonitorTarget, so any front
// end that drives a board can serve them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hc11::gdb {

// What the monitor commands need of the simulated board.
class MonitorTarget {
 public:
  virtual ~MonitorTarget() = default;
  virtual void Reset() = 0;  // the processor and the board, as at power-on
  // The debugger's Init (the code image loaded again, then reset); false
  // when the image did not load completely.
  virtual bool Init() = 0;
  // A panel key by its caption ("Menu", "M/A", ...), held until released or,
  // with `holdMs`, for that many milliseconds of simulated time. False: no
  // such key.
  virtual bool PressKey(std::string_view caption, std::optional<unsigned> holdMs) = 0;
  virtual bool ReleaseKey(std::string_view caption) = 0;
  // A command button ("LecE2P", "Ecr ram", ...); false: no such button.
  virtual bool InjectButton(std::string_view caption) = 0;
  // A message into the board's serial receive line.
  virtual void SendSerial(std::span<const std::uint8_t> bytes) = 0;
  // The display, LEDs, latch, synthesiser and memo lines, one per line.
  virtual std::string PanelText() const = 0;
  virtual std::int64_t Cycles() const = 0;
};

enum class MonitorVerb : std::uint8_t {
  Help,
  Reset,
  Init,
  Key,
  Release,
  Inject,
  Serial,
  Panel,
  Cycles,
  State
};

struct MonitorCommand {
  MonitorVerb verb = MonitorVerb::Help;
  std::string caption;              // Key, Release, Inject; State: "save" or "load"
  std::optional<unsigned> holdMs;   // Key
  std::vector<std::uint8_t> bytes;  // Serial
  std::string file;                 // State
};

// The longest message `serial` takes (the board's receive buffer).
inline constexpr std::size_t kMonitorSerialMax = 200;

struct ParsedMonitorCommand {
  std::optional<MonitorCommand> command;
  std::string error;  // when there is no command: what to tell the user
};

ParsedMonitorCommand ParseMonitorCommand(std::string_view line);

struct MonitorAnswer {
  std::string text;  // ends with a newline
};

// Parses and runs one command line.
MonitorAnswer RunMonitorCommand(MonitorTarget& target, std::string_view line);

}  // namespace hc11::gdb
