// One opened program as the Python module drives it: the controller, the
// program's load as `hc11flow-cli run` does it, runs bounded in steps, cycles
// or time, a routine called in isolation, and the board's serial bytes. No
// Python here: the binding files turn these outcomes into Python values.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/stop_event.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"
#include "recording/recorder.h"

namespace hc11::py {

// Why an open failed; the text is what the CLI would say.
enum class OpenError : std::uint8_t { None, Missing, Refused };

struct OpenResult {
  OpenError error = OpenError::None;
  std::string message;
};

// At most one bound of each kind; none set means no bound of that kind.
struct RunBounds {
  std::optional<std::uint64_t> steps;
  std::optional<std::int64_t> counts;  // cycle counts
  std::optional<std::uint16_t> until;  // an address the run ends at
};

// The outcome of a routine called in isolation.
// NoStack: SP leaves no memory for the return address (SP not set up yet).
enum class CallEnd : std::uint8_t { Returned, OverBudget, Stopped, NoStack };

struct CallResult {
  CallEnd end = CallEnd::Returned;
  StopEvent stop;  // Stopped: what ended the run instead of the return
  std::int64_t counts = 0;
  std::uint64_t steps = 0;
};

// Message boxes of the session, kept in order for the caller to read.
class KeptMessages final : public Messages {
 public:
  struct Entry {
    MsgKind kind;
    std::string text;
  };
  void Show(MsgKind kind, std::string_view caption, std::string_view text) override;
  std::vector<Entry> entries;
};

class PyBoard {
 public:
  PyBoard();
  PyBoard(const PyBoard&) = delete;
  PyBoard& operator=(const PyBoard&) = delete;

  // PROGRAM as `hc11flow-cli run` takes it: a HEX file alone, or the program
  // named by its listing or base path. `settings` empty: none read.
  OpenResult Open(const std::string& program, bool workspace, const std::string& settings);

  Controller& controller() { return *controller_; }
  Session& session() { return controller_->session(); }
  Machine& machine() { return controller_->machine(); }
  Board& board() { return session().board(); }
  const Controller& controller() const { return *controller_; }
  const std::vector<KeptMessages::Entry>& messages() const { return messages_.entries; }

  // Runs until a bound is met or something else stops the run. A cycle bound
  // ends at the first instruction boundary at or past it.
  StopEvent Run(const RunBounds& bounds);

  // Runs the routine at `entry` from the current stack with a return address
  // of its own pushed, until that return pops it.
  CallResult Call(std::uint16_t entry, std::int64_t maxCounts);

  // A command going back in time: the bytes its replay transmits again were
  // received already.
  StopEvent Back(const std::function<StopEvent()>& command);

  // The debugger's own lists emptied (breakpoints, watches, the stop
  // expression, the record, the counts, the trace list, the bytes received),
  // so that a state loaded next makes the board as a fresh open would.
  void ForgetDebuggerLists();

  // A symbol's address, or an address given as a number.
  std::optional<std::uint16_t> Symbol(const std::string& name) const;
  // The function of the program holding `address`, empty outside every one.
  std::string FunctionAt(std::uint16_t address) const;
  // The last `n` lines of the trace list, oldest first.
  std::vector<std::string> TraceTail(std::size_t n) const;

  // A session recorded from here; the board must be at the program's start.
  void StartRecording(const std::string& path);
  bool Recording() const { return recorder_ != nullptr; }
  const std::string& RecordingPath() const { return recordingPath_; }
  // Ends the recording and writes its file whole; false with `error` set (the
  // recording ends either way).
  bool StopRecording(std::string& error);

  // Bytes the firmware transmitted since the last call.
  std::vector<std::uint8_t> TakeReceived();
  // Runs for at most `counts` until `expected` is among the bytes received
  // since the last TakeReceived; true when it came, and then the bytes up to
  // its end are taken. `received` gets what had come either way.
  bool Expect(const std::vector<std::uint8_t>& expected, std::int64_t counts, StopEvent& stop,
              std::vector<std::uint8_t>& received);

 private:
  bool Matched() const;

  UiHooks hooks_;
  KeptMessages messages_;
  std::unique_ptr<Controller> controller_;
  std::vector<std::uint8_t> received_;
  std::vector<std::uint8_t> expected_;  // while Expect runs
  // After the controller: it leaves the board before the board goes.
  std::unique_ptr<Recorder> recorder_;
  std::string recordingPath_;
};

}  // namespace hc11::py
