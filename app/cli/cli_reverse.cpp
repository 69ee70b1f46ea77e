#include "app/cli/cli_reverse.h"

#include <ostream>

#include "core/trace.h"
#include "reverse/sim_state.h"

namespace hc11::cli {

namespace {

void PrintMoment(const BackResult& result, Session& session, std::ostream& out) {
  Machine& m = session.machine();
  out << "status: " << BackStopText(result) << '\n';
  out << "message: " << m.StopMessage << '\n';
  out << "trace: " << FormatTraceLine(m) << '\n';
  out << "back: " << result.stepsBack << " steps, " << ReachText(session.timeTravel(), m.CycleBase) << '\n';
}

}  // namespace

void PrepareReverse(const ReverseOptions& r, Session& session) {
  if (r.Records()) session.timeTravel().SetRecording(true);
}

void RunReverse(const ReverseOptions& r, Session& session, std::ostream& out) {
  TimeTravel& tt = session.timeTravel();
  if (r.backRun) PrintMoment(tt.RunBack(), session, out);
  if (r.back > 0) PrintMoment(tt.StepBack(r.back), session, out);
}

void PrintDigest(const ReverseOptions& r, Session& session, std::ostream& out) {
  if (r.digest) out << "digest: " << DigestText(StateDigest(session.machine(), &session.board())) << '\n';
}

}  // namespace hc11::cli
