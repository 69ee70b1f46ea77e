#include "gdbstub/recorded_reverse.h"

namespace hc11::gdb {

namespace {

ReverseStopKind KindOf(const StopEvent& e) {
  switch (e.cause) {
    case StopCause::Breakpoint:
    case StopCause::RamBreakpoint:
      return ReverseStopKind::Breakpoint;
    case StopCause::ReplayEnd:
      return ReverseStopKind::Stepped;
    case StopCause::StopRequested:
      return ReverseStopKind::Interrupted;
    default:
      break;
  }
  return ReverseStopKind::HistoryStart;
}

}  // namespace

RecordedReverse::RecordedReverse(Controller& controller) : controller_(controller) {
  TimeTravel& record = controller_.session().timeTravel();
  if (!record.Recording()) record.SetRecording(true);
}

ReverseStopKind RecordedReverse::StepBack() {
  ramStop_.reset();
  const StopEvent e = controller_.StepBack(1);
  // Reaching the oldest moment by a real step back is still a step.
  if (e.cause == StopCause::RecordStart && e.stepsBack > 0) return ReverseStopKind::Stepped;
  return KindOf(e);
}

ReverseStopKind RecordedReverse::ContinueBack() {
  const StopEvent e = controller_.RunBack();
  ramStop_.reset();
  if (e.cause == StopCause::RamBreakpoint) ramStop_ = ReverseRamStop{e.address, e.access};
  return KindOf(e);
}

}  // namespace hc11::gdb
