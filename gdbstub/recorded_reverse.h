// The stub's "bs" and "bc" as the controller's "Pas arrière" and "Exécuter
// en arrière": GDB walks back through the same record as the window, and
// every front end's views follow the moment reached. Recording is switched on
// when the adapter is made.
#pragma once

#include "debugger/controller.h"
#include "gdbstub/dispatcher.h"
#include "gdbstub/reverse.h"

namespace hc11::gdb {

class RecordedReverse final : public ReverseExecution {
 public:
  explicit RecordedReverse(Controller& controller);
  ReverseStopKind StepBack() override;
  ReverseStopKind ContinueBack() override;
  std::optional<ReverseRamStop> RamStop() const override { return ramStop_; }

 private:
  Controller& controller_;
  std::optional<ReverseRamStop> ramStop_;
};

}  // namespace hc11::gdb
