// The CLI as the core's host: trace lines go to the output as they are
// appended, labels are remembered for the summary lines, messages go to
// the error stream.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli/cli_messages.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/ui_hooks.h"

namespace hc11::cli {

class CliRunHost : public UiHooks {
 public:
  explicit CliRunHost(std::ostream& out) : out_(out) {}

  void TraceLineAdded(const std::string& line) override { out_ << line << '\n'; }
  void ProcessEvents() override {
    if (OnYield) OnYield();
  }

  // Called at each yield of the run loop (every RefreshEvery + 1 steps).
  std::function<void()> OnYield;

 private:
  std::ostream& out_;
};

}  // namespace hc11::cli
