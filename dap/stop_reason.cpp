#include "dap/stop_reason.h"

#include <array>
#include <utility>

namespace hc11::dap {

namespace {

constexpr std::array<std::pair<StopCause, const char*>, 13> kReasons = {{
    {StopCause::None, nullptr},
    {StopCause::StepDone, "step"},
    {StopCause::BudgetSpent, "pause"},
    {StopCause::Breakpoint, "breakpoint"},
    {StopCause::RamBreakpoint, "data breakpoint"},
    {StopCause::Expression, "breakpoint"},
    {StopCause::TargetReached, "step"},
    {StopCause::CallReturned, "step"},
    {StopCause::Error, "exception"},
    {StopCause::StopRequested, "pause"},
    {StopCause::ReplayEnd, "step"},
    {StopCause::RecordStart, "step"},
    {StopCause::NothingRecorded, "step"},
}};

}  // namespace

const char* StopReason(StopCause cause) {
  for (const auto& [c, reason] : kReasons)
    if (c == cause) return reason;
  return "pause";
}

}  // namespace hc11::dap
