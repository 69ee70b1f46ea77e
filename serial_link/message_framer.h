// Cuts the byte stream a host program sends into the messages the board's
// receive buffer takes: bytes that arrive together form one message, which
// ends after an idle gap or at the buffer's size. Messages wait here while
// the firmware still reads the previous one; past a backlog bound newer bytes
// are dropped and counted. Pure: the caller supplies the times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hc11::serial {

struct FramerLimits {
  std::int64_t gapUs = 2000;       // host silence that ends a message
  std::size_t messageBytes = 200;  // the receive buffer's size
  std::size_t backlogBytes = 64 * 1024;
};

// The idle gap for a baud rate: two character times (ten bits each), and
// never less than 2 ms.
std::int64_t IdleGapUs(long baud);

class MessageFramer {
 public:
  explicit MessageFramer(FramerLimits limits = {});

  // Bytes read from the host at `nowUs`. A gap since the previous bytes
  // first ends the message in progress.
  void Feed(std::span<const std::uint8_t> bytes, std::int64_t nowUs);
  // Ends the message in progress once the gap has passed.
  void Tick(std::int64_t nowUs);
  // The oldest complete message, if any.
  std::optional<std::vector<std::uint8_t>> Take();
  // Ends the message in progress now (the host left).
  void Flush();
  // Everything held is forgotten (the link closed or the board restarted).
  void Clear();

  bool HasMessage() const { return !ready_.empty(); }
  bool Idle() const { return ready_.empty() && partial_.empty(); }
  std::size_t Backlog() const { return held_; }
  // When the message in progress ends by itself, in microseconds; none when
  // nothing is in progress.
  std::optional<std::int64_t> Deadline() const;

  // Reports to pass on, oldest first: the backlog's overflow once, then the
  // number of bytes dropped once the backlog has drained to a quarter.
  std::vector<std::string> TakeReports();

  std::uint64_t DroppedBytes() const { return droppedTotal_; }

 private:
  void EndPartial();

  FramerLimits limits_;
  std::deque<std::vector<std::uint8_t>> ready_;
  std::vector<std::uint8_t> partial_;
  std::int64_t lastByteUs_ = 0;
  std::size_t held_ = 0;
  bool overflowing_ = false;
  std::uint64_t droppedNow_ = 0;    // bytes lost in the current overflow
  std::uint64_t droppedTotal_ = 0;  // since the framer was made
  std::vector<std::string> reports_;
};

}  // namespace hc11::serial
