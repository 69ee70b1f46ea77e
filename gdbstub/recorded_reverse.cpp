#include "gdbstub/recorded_reverse.h"

namespace hc11::gdb {

namespace {

ReverseStopKind KindOf(const BackResult& r) {
  switch (r.stop) {
    case BackStop::Breakpoint:
      return ReverseStopKind::Breakpoint;
    case BackStop::Stepped:
      return ReverseStopKind::Stepped;
    case BackStop::StartOfRecord:
    case BackStop::None:
      break;
  }
  return ReverseStopKind::HistoryStart;
}

}  // namespace

RecordedReverse::RecordedReverse(TimeTravel& record) : record_(record) {
  if (!record_.Recording()) record_.SetRecording(true);
}

ReverseStopKind RecordedReverse::StepBack() {
  const BackResult r = record_.StepBack(1);
  // Reaching the oldest moment by a real step back is still a step.
  if (r.stop == BackStop::StartOfRecord && r.stepsBack > 0) return ReverseStopKind::Stepped;
  return KindOf(r);
}

ReverseStopKind RecordedReverse::ContinueBack() {
  return KindOf(record_.RunBack());
}

}  // namespace hc11::gdb
