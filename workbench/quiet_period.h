// When a program assembled again is taken: the assembler writes the listing
// and the image one after the other, and may write each in pieces, so a
// change counts only once both files have been quiet for a while. Fed with
// the times of the changes seen and asked with the time now; no clock of its
// own, so a test drives it.
#pragma once

#include <cstdint>

namespace hc11 {

class QuietPeriod {
 public:
  explicit QuietPeriod(std::uint32_t quietMs = 500) : quietMs_(quietMs) {}

  // A change of one of the files, seen at `nowMs`.
  void Changed(std::uint64_t nowMs);
  // True once for a series of changes, when nothing changed for the period
  // since the last one; the series is then taken.
  bool Take(std::uint64_t nowMs);
  bool Pending() const { return pending_; }
  // How long until Take can be true (0 when it can now or nothing waits).
  std::uint64_t Remaining(std::uint64_t nowMs) const;
  // Forgets a series not taken (the program was loaded anyway).
  void Clear() { pending_ = false; }

 private:
  std::uint32_t quietMs_;
  bool pending_ = false;
  std::uint64_t last_ = 0;
};

}  // namespace hc11
