// Replays a session on the program a controller has loaded: the recorded
// inputs are given when the machine's clock reaches their times (by time, not
// by step, so a build whose code moved receives them at the same moments),
// and the board's outputs are compared with the recorded ones in order as
// they happen. The first difference stops the run there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "debugger/controller.h"
#include "recording/session_file.h"

namespace hc11 {

struct ReplayOptions {
  // An output more than this many milliseconds later or earlier than
  // recorded is a difference; none: times are not compared.
  std::optional<double> timingMs;
};

// Interrupted: the user stopped a run of the replay ("Arrêt", Ctrl+C) before
// the session's end; the outputs matched so far are counted.
enum class ReplayOutcome : std::uint8_t { Same, Diverged, Interrupted };

struct ReplayResult {
  ReplayOutcome outcome = ReplayOutcome::Same;
  std::size_t outputs = 0;  // outputs that matched
  // The difference: the output's index, what was recorded there and what the
  // new build made (either may be missing), and whether only its time differs.
  std::size_t index = 0;
  std::optional<SessionOutput> recorded;
  std::optional<SessionOutput> produced;
  bool timing = false;
  std::uint16_t pc = 0;
  std::string function;
  std::vector<SessionInput> lastInputs;  // up to five, the latest last
  bool same() const { return outcome == ReplayOutcome::Same; }
  bool interrupted() const { return outcome == ReplayOutcome::Interrupted; }
};

inline constexpr std::size_t kReplayLastInputs = 5;

// The controller must have the program loaded and booted, as a recording
// starts; it is left at the difference (or at the session's end).
ReplayResult Replay(Controller& controller, const SessionFile& session, const ReplayOptions& options = {});

// "same: N outputs", "interrupted: N outputs matched", or the difference on
// several lines.
std::string ReplayText(const ReplayResult& result);

}  // namespace hc11
