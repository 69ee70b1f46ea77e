#include "app/gui/gdb_link.h"

#include <utility>

namespace hc11::gui {

namespace {
constexpr int kPollMs = 10;
}

GdbLink::GdbLink(Session& session, RunControl& run, std::function<void()> breaksChanged,
                 std::function<void()> machineChanged)
    : session_(session),
      run_(run),
      breaksChanged_(std::move(breaksChanged)),
      machineChanged_(std::move(machineChanged)),
      reverse_(session.timeTravel(), {[this] {
                                        run_.StepBack();
                                        return run_.LastBack();
                                      },
                                      [this] {
                                        run_.RunBack();
                                        return run_.LastBack();
                                      }}),
      service_(session, *this, &reverse_) {
  timer_.setInterval(kPollMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { service_.Poll(); });
}

void GdbLink::Apply(Messages& messages) {
  service_.Apply(session_.options().Checked(gdb::kServerMark), session_.settings().Reglage(gdb::kPortSetting),
                 messages);
  if (service_.Listening()) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace hc11::gui
