#include "app/gui/gdb_link.h"

namespace hc11::gui {

namespace {
constexpr int kPollMs = 10;
}

GdbLink::GdbLink(Controller& controller)
    : session_(controller.session()),
      host_(controller),
      reverse_(controller),
      service_(session_, host_, &reverse_) {
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
