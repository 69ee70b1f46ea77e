// Ctrl+C and SIGTERM during `run`: the run in progress ends as "Arret" (F2)
// would, the remaining repeats are skipped and the summary lines still
// print. Armed while an object lives; the previous handlers come back after.
#pragma once

#include <csignal>

namespace hc11::cli {

class CliInterrupt {
 public:
  CliInterrupt();
  ~CliInterrupt();
  CliInterrupt(const CliInterrupt&) = delete;
  CliInterrupt& operator=(const CliInterrupt&) = delete;

  // Whether a signal arrived since the guard was armed.
  static bool Requested();

 private:
  struct sigaction savedInt_ {
  }, savedTerm_{};
};

}  // namespace hc11::cli
