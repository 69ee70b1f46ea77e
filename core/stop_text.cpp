#include "core/message_text.h"
#include "core/stop_event.h"

namespace hc11 {

std::string BreakEntryText(const std::string& line) {
  return "Break " + line;
}

std::string BreakTraceLine(const std::string& message) {
  return "Break " + message;
}

std::string StopText(const StopEvent& e) {
  switch (e.cause) {
    case StopCause::None:
      return {};
    case StopCause::StepDone:
    case StopCause::BudgetSpent:
    case StopCause::StopRequested:
      return e.back ? "stop arrière" : "stop ";
    case StopCause::ReplayEnd:
      return "stop arrière";
    case StopCause::Breakpoint:
    case StopCause::RamBreakpoint:
      return BreakEntryText(e.line);
    case StopCause::Expression:
      return e.expressionFault ? "Arrêt sur expression : " + e.line
                               : "Arrêt sur expression " + QuoteText(e.line);
    case StopCause::TargetReached:
      return "Break F4";
    case StopCause::CallReturned:
      return "stop Macro";
    case StopCause::Error:
      return e.message;
    case StopCause::RecordStart:
      return "début enregistrement";
    case StopCause::NothingRecorded:
      return "rien d'enregistré";
    case StopCause::PoweredOff:
      return "hors tension";
  }
  return {};
}

}  // namespace hc11
