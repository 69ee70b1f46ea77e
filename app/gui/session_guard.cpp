#include "app/gui/session_guard.h"

namespace hc11::gui {

SessionFile CutSession(SessionFile s, const SessionCut& cut) {
  if (s.inputs.size() > cut.inputs) s.inputs.resize(cut.inputs);
  if (s.outputs.size() > cut.outputs) s.outputs.resize(cut.outputs);
  s.end = cut.end;
  return s;
}

SessionGuard::SessionGuard(Controller& controller, const Recorder& recorder,
                           std::function<void(const SessionCut&)> wentBack)
    : controller_(&controller), recorder_(recorder), wentBack_(std::move(wentBack)) {
  controller.Subscribe(*this);
}

SessionGuard::~SessionGuard() {
  if (controller_ != nullptr) controller_->Unsubscribe(*this);
}

void SessionGuard::Arm() {
  if (controller_ == nullptr) return;
  armed_ = true;
  cycles_ = controller_->machine().CycleCount;
  unpowered_ = controller_->PoweredOff();
  cut_ = {recorder_.Current().inputs.size(), recorder_.Current().outputs.size(), 0};
}

void SessionGuard::StateChanged(const StateChange&) {
  if (!armed_ || controller_ == nullptr || !recorder_.Recording()) return;
  const std::int64_t now = controller_->machine().CycleCount;
  const bool unpowered = controller_->PoweredOff();
  // The power back restarts the clock at zero, and the recording counts on.
  const bool poweredOn = unpowered_ && !unpowered;
  if (now < cycles_ && !poweredOn) {
    armed_ = false;
    wentBack_(cut_);
    return;
  }
  cut_.end += poweredOn ? now : now - cycles_;
  cut_.inputs = recorder_.Current().inputs.size();
  cut_.outputs = recorder_.Current().outputs.size();
  cycles_ = now;
  unpowered_ = unpowered;
}

}  // namespace hc11::gui
