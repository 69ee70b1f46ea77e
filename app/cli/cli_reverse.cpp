#include "app/cli/cli_reverse.h"

#include <ostream>

#include "core/trace.h"
#include "reverse/sim_state.h"

namespace hc11::cli {

namespace {

void PrintMoment(const StopEvent& e, Session& session, std::ostream& out) {
  Machine& m = session.machine();
  out << "status: " << e.text << '\n';
  out << "message: " << e.message << '\n';
  out << "trace: " << FormatTraceLine(m) << '\n';
  out << "back: " << e.stepsBack << " steps, " << ReachText(session.timeTravel(), m.CycleBase) << '\n';
}

}  // namespace

void PrepareReverse(const ReverseOptions& r, Session& session) {
  if (r.Records()) session.timeTravel().SetRecording(true);
}

void RunReverse(const ReverseOptions& r, Controller& controller, std::ostream& out) {
  if (r.backRun) PrintMoment(controller.RunBack(), controller.session(), out);
  if (r.back > 0) PrintMoment(controller.StepBack(r.back), controller.session(), out);
}

void PrintDigest(const ReverseOptions& r, Session& session, std::ostream& out) {
  if (r.digest) out << "digest: " << DigestText(StateDigest(session.machine(), &session.board())) << '\n';
}

}  // namespace hc11::cli
