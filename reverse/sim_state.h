// The simulated state of the processor and its board (as Machine::Visit and
// Board::Visit name it): what a time-travel snapshot keeps and what the
// state digest covers. The board's serial memo grows without bound and is
// kept apart by the record (see TimeTravel); the digest covers it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "core/state_bytes.h"

namespace hc11 {

// One snapshot's bytes. The state's fixed part fits in place, so taking a
// snapshot allocates nothing; only texts longer than usual spill over.
class SimState final : public ByteSink {
 public:
  static constexpr std::size_t kInlineBytes = 2 * 65536 + 6144;

  void Clear() {
    used_ = 0;
    spill_.clear();
  }
  void Put(const std::uint8_t* p, std::size_t n) override;
  std::size_t Size() const { return used_ + spill_.size(); }
  bool hasBoard = false;

  // Reads the bytes back from the start.
  class Reader final : public ByteSource {
   public:
    explicit Reader(const SimState& s) : s_(s) {}
    bool Get(std::uint8_t* p, std::size_t n) override;
    std::size_t Remaining() const override { return s_.Size() - at_; }

   private:
    const SimState& s_;
    std::size_t at_ = 0;
  };

 private:
  std::size_t used_ = 0;
  // Left uninitialised: a snapshot is always captured before it is read, and
  // zeroing 128 KiB per snapshot would cost the run loop as much as the copy.
  std::array<std::uint8_t, kInlineBytes> inline_;
  std::vector<std::uint8_t> spill_;
};

// Copies the live state into `s` (reusing its storage). `board` may be null.
void CaptureState(const Machine& m, const Board* board, SimState& s);

// Puts `s` back into the machine and board without any device reaction. The
// RAM-breakpoint bits beside the write tags stay as the breakpoint list set
// them. False, with the state partly loaded, when `s` is not a whole image.
bool RestoreState(const SimState& s, Machine& m, Board* board);

// A 64-bit digest of the complete simulated state: everything the machine
// and the board visit, with the serial memo. The debugger's lists,
// histories and the trace list's time reference do not count.
// `memoTail` bounds how many of the memo's last lines count (with its length).
std::uint64_t StateDigest(const Machine& m, const Board* board, std::size_t memoTail = SIZE_MAX);

// Sixteen lower-case hexadecimal digits.
std::string DigestText(std::uint64_t digest);

}  // namespace hc11
