#include "serial_link/message_framer.h"

#include <algorithm>
#include <utility>

namespace hc11::serial {

std::int64_t IdleGapUs(long baud) {
  constexpr std::int64_t kMinUs = 2000;
  if (baud <= 0) return kMinUs;
  return std::max<std::int64_t>(kMinUs, 2 * 10 * 1'000'000LL / baud);
}

MessageFramer::MessageFramer(FramerLimits limits) : limits_(limits) {
  limits_.messageBytes = std::max<std::size_t>(1, limits_.messageBytes);
  limits_.gapUs = std::max<std::int64_t>(0, limits_.gapUs);
}

void MessageFramer::Feed(std::span<const std::uint8_t> bytes, std::int64_t nowUs) {
  if (bytes.empty()) return;
  Tick(nowUs);
  lastByteUs_ = nowUs;
  std::size_t room = limits_.backlogBytes - std::min(held_, limits_.backlogBytes);
  const std::size_t take = std::min(room, bytes.size());
  if (take < bytes.size()) {
    if (!overflowing_)
      reports_.push_back("backlog over " + std::to_string(limits_.backlogBytes) +
                         " bytes: newer host bytes are dropped");
    overflowing_ = true;
    droppedNow_ += bytes.size() - take;
    droppedTotal_ += bytes.size() - take;
  }
  for (std::size_t i = 0; i < take; ++i) {
    partial_.push_back(bytes[i]);
    ++held_;
    if (partial_.size() >= limits_.messageBytes) EndPartial();
  }
}

void MessageFramer::Tick(std::int64_t nowUs) {
  if (!partial_.empty() && nowUs - lastByteUs_ >= limits_.gapUs) EndPartial();
}

void MessageFramer::Flush() {
  if (!partial_.empty()) EndPartial();
}

void MessageFramer::EndPartial() {
  ready_.push_back(std::move(partial_));
  partial_.clear();
}

std::optional<std::vector<std::uint8_t>> MessageFramer::Take() {
  if (ready_.empty()) return std::nullopt;
  std::vector<std::uint8_t> message = std::move(ready_.front());
  ready_.pop_front();
  held_ -= message.size();
  // The overflow ends once the firmware has worked through most of the
  // backlog: a flood it drains as fast as it arrives is one episode, not a
  // report for every message taken.
  if (overflowing_ && held_ <= limits_.backlogBytes / 4) {
    reports_.push_back(std::to_string(droppedNow_) + " host bytes dropped");
    overflowing_ = false;
    droppedNow_ = 0;
  }
  return message;
}

void MessageFramer::Clear() {
  ready_.clear();
  partial_.clear();
  held_ = 0;
  if (overflowing_) reports_.push_back(std::to_string(droppedNow_) + " host bytes dropped");
  overflowing_ = false;
  droppedNow_ = 0;
}

std::optional<std::int64_t> MessageFramer::Deadline() const {
  if (partial_.empty()) return std::nullopt;
  return lastByteUs_ + limits_.gapUs;
}

std::vector<std::string> MessageFramer::TakeReports() {
  return std::exchange(reports_, {});
}

}  // namespace hc11::serial
