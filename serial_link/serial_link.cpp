#include "serial_link/serial_link.h"

#include <algorithm>
#include <chrono>

namespace hc11::serial {

std::int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

SerialLink::SerialLink(Board& board) : board_(board) {}

SerialLink::~SerialLink() {
  Close();
}

bool SerialLink::Open(const LinkAddress& address, long baud, std::string& error, std::int64_t gapUs) {
  Close();
  auto port = OpenHostPort(address, baud, error);
  if (!port) return false;
  port_ = std::move(port);
  FramerLimits limits;
  limits.gapUs = gapUs > 0 ? gapUs : IdleGapUs(baud);
  limits.messageBytes = Board::kRxCapacity;
  framer_ = MessageFramer(limits);
  lastReceiveUs_.reset();
  delivered_ = 0;
  // Collected here and written by Poll, so the run loop makes no system call per byte.
  board_.OnTransmit = [this](std::uint8_t byte) { out_.push_back(byte); };
  return true;
}

void SerialLink::Close() {
  if (!port_) return;
  board_.OnTransmit = nullptr;
  // What the firmware sent last still goes out; nothing more reaches the
  // board, which may just have been reset.
  if (!out_.empty()) port_->Send(out_, events_);
  Report(events_);
  port_.reset();
  framer_.Clear();
  out_.clear();
  in_.clear();
  std::vector<std::string> reports = framer_.TakeReports();
  Report(reports);
}

void SerialLink::Poll() {
  if (!port_) return;
  const std::int64_t now = NowUs();
  in_.clear();
  port_->Service(in_, events_);
  if (!in_.empty()) {
    framer_.Feed(in_, now);
    lastReceiveUs_ = now;
  } else {
    framer_.Tick(now);
  }
  // A client that left ends its message.
  if (!port_->Connected()) framer_.Flush();
  if (framer_.HasMessage() && !board_.ReceiveBusy()) {
    if (const auto message = framer_.Take()) {
      board_.InjectMessage(*message);
      ++delivered_;
    }
  }
  if (!out_.empty()) {
    port_->Send(out_, events_);
    out_.clear();
  }
  std::vector<std::string> reports = framer_.TakeReports();
  events_.insert(events_.end(), reports.begin(), reports.end());
  Report(events_);
}

void SerialLink::Wait(std::int64_t us) {
  if (!port_) return;
  if (const auto deadline = framer_.Deadline()) us = std::min(us, *deadline - NowUs());
  port_->Wait(us);
  Poll();
}

void SerialLink::Report(std::vector<std::string>& events) {
  if (OnEvent)
    for (const std::string& e : events) OnEvent(e);
  events.clear();
}

}  // namespace hc11::serial
