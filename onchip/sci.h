// The serial interface's timing: a frame takes 10 bit times (11 with nine
// data bits) at the rate BAUD selects from E, E / (16 x prescaler x
// divider). Bytes from the board wait in a receive queue in front of the
// line and arrive at its pace; the chip's own overrun (OR) is the only loss,
// when the firmware reads too slowly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/state_visitor.h"
#include "onchip/registers.h"

namespace hc11::onchip {

class Sci {
 public:
  // Bytes the queue holds at most; beyond it a delivery is refused in part.
  static constexpr std::size_t kQueueLimit = 65536;

  void Reset();
  // SCSR and SCDR reads clear flags in turn; SCSR is the one polled.
  std::uint8_t Read(std::uint8_t offset) {
    if (offset != kScsr) return ReadOther(offset);
    statusSeen_ = Status();
    return statusSeen_;
  }
  std::uint8_t Peek(std::uint8_t offset) const;  // the same byte, nothing cleared
  void Write(std::uint8_t offset, std::uint8_t value, std::int64_t now);
  // Finishes every frame ended by `now`, starting the next ones back to back.
  void Advance(std::int64_t now);
  // Queues bytes for the receiver; returns how many were taken.
  std::size_t Arrive(std::span<const std::uint8_t> bytes, std::int64_t now);
  std::int64_t NextEvent() const;
  bool Pending() const;
  std::uint8_t Status() const {
    std::uint8_t s = flags_;
    if (!tdrFull_) s |= kTdre;
    if (!tdrFull_ && !shifting_) s |= kTc;
    return s;
  }
  std::size_t Backlog() const { return queue_.size(); }
  // E cycles per bit and per frame at the current BAUD and SCCR1.
  std::int64_t BitCycles() const;
  std::int64_t FrameCycles() const { return BitCycles() * ((sccr1_ & 0x10) != 0 ? 11 : 10); }
  void Visit(StateVisitor& v);

  // A byte has left the transmitter's line.
  std::function<void(std::uint8_t)> Transmitted;
  // The firmware read a received byte from SCDR.
  std::function<void(std::uint8_t)> ByteRead;

 private:
  std::uint8_t ReadOther(std::uint8_t offset);
  void StartShift(std::int64_t at);
  void StartReceive(std::int64_t at);

  std::string queue_;  // received bytes not yet on the line, oldest first
  std::int64_t shiftEnd_ = 0, rxEnd_ = 0, idleAt_ = 0;
  std::uint8_t baud_ = 0, sccr1_ = 0, sccr2_ = 0;
  std::uint8_t tdr_ = 0, shiftByte_ = 0, rdr_ = 0;
  std::uint8_t flags_ = 0;       // RDRF, IDLE and OR
  std::uint8_t statusSeen_ = 0;  // the flags an SCSR read showed, cleared by the next SCDR access
  bool tdrFull_ = false, shifting_ = false, receiving_ = false, idleArmed_ = false;
};

}  // namespace hc11::onchip
