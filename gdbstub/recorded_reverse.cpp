#include "gdbstub/recorded_reverse.h"

#include <utility>

namespace hc11::gdb {

namespace {

ReverseStopKind KindOf(const BackResult& r) {
  switch (r.stop) {
    case BackStop::Breakpoint:
      return ReverseStopKind::Breakpoint;
    case BackStop::Stepped:
      return ReverseStopKind::Stepped;
    case BackStop::Interrupted:
      return ReverseStopKind::Interrupted;
    case BackStop::StartOfRecord:
    case BackStop::None:
      break;
  }
  return ReverseStopKind::HistoryStart;
}

}  // namespace

RecordedReverse::RecordedReverse(TimeTravel& record, ReverseCommands commands)
    : record_(record), commands_(std::move(commands)) {
  if (!record_.Recording()) record_.SetRecording(true);
}

ReverseStopKind RecordedReverse::StepBack() {
  ramStop_.reset();
  const BackResult r = commands_.stepBack ? commands_.stepBack() : record_.StepBack(1);
  // Reaching the oldest moment by a real step back is still a step.
  if (r.stop == BackStop::StartOfRecord && r.stepsBack > 0) return ReverseStopKind::Stepped;
  return KindOf(r);
}

ReverseStopKind RecordedReverse::ContinueBack() {
  const BackResult r = commands_.runBack ? commands_.runBack() : record_.RunBack();
  ramStop_.reset();
  if (r.ramAccess) ramStop_ = ReverseRamStop{r.ramAccess->address, r.ramAccess->kind};
  return KindOf(r);
}

}  // namespace hc11::gdb
