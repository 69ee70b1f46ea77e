#include "onchip/sci.h"

#include <algorithm>
#include <array>

#include "onchip/registers.h"
#include "onchip/timer.h"

namespace hc11::onchip {

namespace {

constexpr std::array<std::int64_t, 4> kPrescaler = {1, 3, 4, 13};  // SCP1:0

}  // namespace

void Sci::Reset() {
  queue_.clear();
  shiftEnd_ = rxEnd_ = idleAt_ = 0;
  baud_ = sccr1_ = sccr2_ = 0;
  tdr_ = shiftByte_ = rdr_ = 0;
  flags_ = statusSeen_ = 0;
  tdrFull_ = shifting_ = receiving_ = idleArmed_ = false;
}

std::int64_t Sci::BitCycles() const {
  return 16 * kPrescaler[(baud_ >> 4) & 3] * (std::int64_t{1} << (baud_ & 7));
}

std::uint8_t Sci::Peek(std::uint8_t offset) const {
  switch (offset) {
    case kBaud:
      return baud_;
    case kSccr1:
      return sccr1_;
    case kSccr2:
      return sccr2_;
    case kScsr:
      return Status();
    case kScdr:
      return rdr_;
    default:
      return 0;
  }
}

std::uint8_t Sci::ReadOther(std::uint8_t offset) {
  if (offset == kScdr) {
    const bool fresh = (flags_ & kRdrf) != 0;
    // An SCSR read that showed them, then this read: the receive flags clear.
    flags_ = static_cast<std::uint8_t>(flags_ & ~(statusSeen_ & (kRdrf | kIdle | kOr)));
    statusSeen_ = 0;
    if (fresh && ByteRead) ByteRead(rdr_);
    return rdr_;
  }
  return Peek(offset);
}

void Sci::Write(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
  switch (offset) {
    case kBaud:
      baud_ = value;
      break;
    case kSccr1:
      sccr1_ = value;
      break;
    case kSccr2:
      sccr2_ = value;
      if ((value & kTe) && tdrFull_ && !shifting_) StartShift(now);
      if ((value & kRe) && !receiving_ && !queue_.empty()) StartReceive(now);
      break;
    case kScdr:
      tdr_ = value;
      tdrFull_ = true;
      statusSeen_ = 0;
      if ((sccr2_ & kTe) && !shifting_) StartShift(now);
      break;
    default:
      break;
  }
}

void Sci::StartShift(std::int64_t at) {
  shiftByte_ = tdr_;
  tdrFull_ = false;
  shifting_ = true;
  shiftEnd_ = at + FrameCycles();
}

void Sci::StartReceive(std::int64_t at) {
  receiving_ = true;
  rxEnd_ = at + FrameCycles();
}

void Sci::Advance(std::int64_t now) {
  while (shifting_ && shiftEnd_ <= now) {
    shifting_ = false;
    const std::int64_t end = shiftEnd_;
    if (Transmitted) Transmitted(shiftByte_);
    if (tdrFull_ && (sccr2_ & kTe)) StartShift(end);
  }
  while (receiving_ && rxEnd_ <= now) {
    if (queue_.empty()) {  // only a garbled image puts a frame on the line with no byte
      receiving_ = false;
      break;
    }
    const auto byte = static_cast<std::uint8_t>(queue_.front());
    queue_.erase(0, 1);
    if (flags_ & kRdrf) {
      flags_ |= kOr;  // the firmware has not read the last one: this byte is lost
    } else {
      rdr_ = byte;
      flags_ |= kRdrf;
    }
    idleArmed_ = true;
    receiving_ = false;
    if (!queue_.empty() && (sccr2_ & kRe)) {
      StartReceive(rxEnd_);
    } else {
      idleAt_ = rxEnd_ + FrameCycles();
    }
  }
  if (idleArmed_ && !receiving_ && idleAt_ <= now) {
    flags_ |= kIdle;  // a whole frame of idle line after a reception
    idleArmed_ = false;
  }
}

std::size_t Sci::Arrive(std::span<const std::uint8_t> bytes, std::int64_t now) {
  const std::size_t take = std::min(bytes.size(), kQueueLimit - std::min(queue_.size(), kQueueLimit));
  queue_.append(reinterpret_cast<const char*>(bytes.data()), take);
  if (!receiving_ && !queue_.empty() && (sccr2_ & kRe)) StartReceive(now);
  return take;
}

std::int64_t Sci::NextEvent() const {
  std::int64_t next = kNever;
  if (shifting_) next = std::min(next, shiftEnd_);
  if (receiving_) next = std::min(next, rxEnd_);
  if (idleArmed_ && !receiving_) next = std::min(next, idleAt_);
  return next;
}

bool Sci::Pending() const {
  const std::uint8_t s = Status();
  return ((sccr2_ & kTie) && (s & kTdre)) || ((sccr2_ & kTcie) && (s & kTc)) ||
         ((sccr2_ & kRie) && (s & (kRdrf | kOr))) || ((sccr2_ & kIlie) && (s & kIdle));
}

void Sci::Visit(StateVisitor& v) {
  v.Field("queue", queue_);
  VisitMoment(v, "shiftEnd", shiftEnd_);
  VisitMoment(v, "rxEnd", rxEnd_);
  VisitMoment(v, "idleAt", idleAt_);
  v.Field("BAUD", baud_);
  v.Field("SCCR1", sccr1_);
  v.Field("SCCR2", sccr2_);
  v.Field("TDR", tdr_);
  v.Field("shiftByte", shiftByte_);
  v.Field("RDR", rdr_);
  v.Field("flags", flags_);
  v.Field("statusSeen", statusSeen_);
  v.Field("tdrFull", tdrFull_);
  v.Field("shifting", shifting_);
  v.Field("receiving", receiving_);
  v.Field("idleArmed", idleArmed_);
}

}  // namespace hc11::onchip
