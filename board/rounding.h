// Integer division to the nearest integer, a half going to the even neighbour
// (the rounding of the board's frequency displays).
#pragma once

namespace hc11 {

// `den` must be positive.
constexpr long long RoundHalfEven(long long num, long long den) {
  long long q = num / den;
  long long r = num % den;
  if (r < 0) {  // floor division for negative numerators
    r += den;
    --q;
  }
  if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
  return q;
}

}  // namespace hc11
