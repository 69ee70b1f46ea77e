// The stub's "bs" and "bc" over the session's time-travel record: GDB walks
// back through the same history as the window's "Pas arrière" and "Exécuter
// en arrière". Recording is switched on when the adapter is made.
#pragma once

#include "gdbstub/reverse.h"
#include "reverse/time_travel.h"

namespace hc11::gdb {

class RecordedReverse final : public ReverseExecution {
 public:
  explicit RecordedReverse(TimeTravel& record);
  ReverseStopKind StepBack() override;
  ReverseStopKind ContinueBack() override;

 private:
  TimeTravel& record_;
};

}  // namespace hc11::gdb
