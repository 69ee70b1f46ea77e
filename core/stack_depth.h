// The stack's low-water mark: the lowest SP reached since reset and the PC
// that stood there (the routine running at that depth), and the "Pile basse"
// warning when SP goes below an address the user set, once per crossing.
//
// The run engine asks Noteworthy(SP) after every step. It is one subtraction
// and one comparison against a window of SP values in which nothing is to be
// noted; Note() is called only when SP leaves it, and moves the window.
#pragma once

#include <cstdint>

namespace hc11 {

class StackDepth {
 public:
  bool Noteworthy(std::uint16_t sp) const { return static_cast<std::uint16_t>(sp - from_) >= span_; }

  // SP after a step and the PC then. True when SP has just gone below the
  // warning address (the caller warns).
  bool Note(std::uint16_t sp, std::uint16_t pc) {
    bool crossed = false;
    if (!reached_ || sp < lowSP_) {
      reached_ = true;
      lowSP_ = sp;
      lowPC_ = pc;
    }
    if (armed_ && sp < warnBelow_) {
      armed_ = false;
      crossed = true;
    } else if (!armed_ && sp >= warnBelow_) {
      armed_ = true;
    }
    Place();
    return crossed;
  }

  // Forgets the mark (reset); the warning address stays.
  void Reset() {
    reached_ = false;
    armed_ = true;
    infoDue_ = true;
    Place();
  }

  // A run command begins. The information label is told of the first
  // crossing of each run only, so a loop that crosses on every pass cannot
  // grow it without end (the trace list is bounded and gets every one).
  void RunBegins() { infoDue_ = true; }
  bool TakeInfo() {
    const bool due = infoDue_;
    infoDue_ = false;
    return due;
  }

  // 0 warns never.
  void SetWarnBelow(std::uint16_t address) {
    warnBelow_ = address;
    armed_ = true;
    Place();
  }

  bool Reached() const { return reached_; }
  std::uint16_t LowSP() const { return lowSP_; }
  std::uint16_t LowPC() const { return lowPC_; }
  std::uint16_t WarnBelow() const { return warnBelow_; }

 private:
  // Armed, the window is [max(low, warning), $FFFF]: a new low or a crossing
  // leaves it. Disarmed (SP below the warning), it is [low, warning): a new
  // low or the climb back above the warning leaves it.
  void Place() {
    if (!reached_) {
      from_ = 0;
      span_ = 0;  // the first step is always noted
      return;
    }
    if (armed_) {
      from_ = lowSP_ > warnBelow_ ? lowSP_ : warnBelow_;
      span_ = 0x10000u - from_;
    } else {
      from_ = lowSP_;
      span_ = static_cast<std::uint32_t>(warnBelow_ - lowSP_);
    }
  }

  std::uint16_t from_ = 0;
  std::uint32_t span_ = 0;
  bool reached_ = false;
  bool armed_ = true;
  bool infoDue_ = true;
  std::uint16_t lowSP_ = 0;
  std::uint16_t lowPC_ = 0;
  std::uint16_t warnBelow_ = 0;
};

}  // namespace hc11
