// The stub's "bs" and "bc" over the session's time-travel record: GDB walks
// back through the same history as the window's "Pas arrière" and "Exécuter
// en arrière". Recording is switched on when the adapter is made.
#pragma once

#include <functional>

#include "gdbstub/reverse.h"
#include "reverse/time_travel.h"

namespace hc11::gdb {

// How the two moves are carried out. Left empty, the record is asked
// directly; the window passes its own reverse commands so its views follow.
struct ReverseCommands {
  std::function<BackResult()> stepBack, runBack;
};

class RecordedReverse final : public ReverseExecution {
 public:
  explicit RecordedReverse(TimeTravel& record, ReverseCommands commands = {});
  ReverseStopKind StepBack() override;
  ReverseStopKind ContinueBack() override;
  std::optional<ReverseRamStop> RamStop() const override { return ramStop_; }

 private:
  TimeTravel& record_;
  ReverseCommands commands_;
  std::optional<ReverseRamStop> ramStop_;
};

}  // namespace hc11::gdb
