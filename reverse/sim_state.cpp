#include "reverse/sim_state.h"

#include <algorithm>
#include <cstring>

#include "core/state_hash.h"
#include "core/text_util.h"

namespace hc11 {

void SimState::Put(const std::uint8_t* p, std::size_t n) {
  if (spill_.empty() && n <= kInlineBytes - used_) {
    std::memcpy(inline_.data() + used_, p, n);
    used_ += n;
    return;
  }
  spill_.insert(spill_.end(), p, p + n);
}

bool SimState::Reader::Get(std::uint8_t* p, std::size_t n) {
  if (n > Remaining()) return false;
  if (at_ < s_.used_) {
    const std::size_t here = std::min(n, s_.used_ - at_);
    std::memcpy(p, s_.inline_.data() + at_, here);
    at_ += here;
    p += here;
    n -= here;
  }
  if (n != 0) {
    std::memcpy(p, s_.spill_.data() + (at_ - s_.used_), n);
    at_ += n;
  }
  return true;
}

// The saving and hashing visitors only read what they visit.
void CaptureState(const Machine& m, const Board* board, SimState& s) {
  s.Clear();
  StateWriter w(s);
  const_cast<Machine&>(m).Visit(w);
  s.hasBoard = board != nullptr;
  if (board != nullptr) const_cast<Board*>(board)->Visit(w);
}

bool RestoreState(const SimState& s, Machine& m, Board* board) {
  SimState::Reader source(s);
  StateReader r(source);
  m.Visit(r);
  m.StackChanged = true;  // the stack view draws the restored stack
  m.PortsMayChange = true;
  if (!s.hasBoard) return r.Finish();
  if (board == nullptr) return r.Ok();
  board->Visit(r);
  return r.Finish();
}

std::uint64_t StateDigest(const Machine& m, const Board* board, std::size_t memoTail) {
  StateHasher h(memoTail);
  const_cast<Machine&>(m).Visit(h);
  h.Word(board != nullptr ? 1 : 0);
  if (board != nullptr) {
    auto& b = const_cast<Board&>(*board);
    b.Visit(h);
    b.VisitMemo(h);
  }
  return h.Final();
}

std::string DigestText(std::uint64_t digest) {
  return Format("%16.16llx", static_cast<unsigned long long>(digest));
}

}  // namespace hc11
