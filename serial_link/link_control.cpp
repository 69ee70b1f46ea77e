#include "serial_link/link_control.h"

namespace hc11::serial {

LinkControl::LinkControl(Session& session)
    : session_(session), link_(session.board()), run_(session.machine(), &link_) {
  link_.OnEvent = [this](std::string_view e) { Event(e); };
}

void LinkControl::Event(std::string_view text) {
  if (OnEvent) OnEvent("serial: " + std::string(text));
}

bool LinkControl::Apply() {
  OptionMarks& marks = session_.options();
  realtime_ = marks.Checked(kMarkRealtime);
  RunBounds bounds;
  bounds.realtime = realtime_;
  bounds.countsPerSecond = CountsPerSecond(session_.settings().Reglage("CoefQuartz"));
  run_.SetBounds(bounds);
  if (!marks.Checked(kMarkLink)) {
    Close();
    return true;
  }
  if (link_.IsOpen()) return true;
  const std::string portCom = session_.settings().Reglage("PortCom");
  const ParsedLinkAddress address = ParseLinkAddress(portCom);
  const std::string baudText = session_.settings().Reglage("BaudRate");
  const auto baud = ParseBaudRate(baudText);
  std::string error;
  if (!address.address) {
    error = "PortCom '" + portCom + "': " + address.error;
  } else if (!baud) {
    error = "BaudRate '" + baudText + "': expected a positive decimal rate";
  } else if (link_.Open(*address.address, *baud, error)) {
    Event(link_.Name());
    return true;
  }
  Event(error);
  marks.Set(kMarkLink, false);
  return false;
}

void LinkControl::Restart() {
  Close();
  Apply();
}

void LinkControl::Close() {
  if (!link_.IsOpen()) return;
  link_.Close();
  Event("closed");
}

void LinkControl::RunStarted(const std::function<bool()>& pump) {
  run_.RunStarted();
  if (!link_.IsOpen() || !session_.options().Checked(kMarkWait) || link_.Connected()) return;
  Event("waiting for a client on " + link_.Name());
  run_.Arm();
  run_.WaitForClient(pump);
  run_.RunStarted();  // real time counts from the client's arrival
}

void LinkControl::Yield() {
  if (Active()) run_.Yield();
}

void LinkControl::Idle() {
  link_.Poll();
}

}  // namespace hc11::serial
