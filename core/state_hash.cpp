#include "core/state_hash.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace hc11 {

void StateHasher::Block(const std::uint8_t* p, std::size_t n, std::uint64_t keep) {
  Word(n);
  std::uint64_t a = 0x9E3779B97F4A7C15ull, b = 0;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    a += (w & keep) + 0x632BE59BD9B4E019ull;
    b += a;
  }
  std::uint64_t w = 0;
  if (n > i) std::memcpy(&w, p + i, n - i);
  a += w & keep;
  b += a;
  Word(a);
  Word(b);
}

void StateHasher::Column(const char*, std::uint8_t* first, std::size_t count, std::size_t stride) {
  // Records of 1, 2, 4 or 8 bytes: whole words of the table, the other
  // members masked off, as fast as a plain block.
  if (stride != 0 && 8 % stride == 0) {
    std::uint64_t keep = 0;
    for (std::size_t i = 0; i < 8; i += stride) keep |= std::uint64_t{0xFF} << (8 * i);
    return Block(first, count * stride, keep);
  }
  constexpr std::size_t kChunk = 4096;
  std::array<std::uint8_t, kChunk> chunk;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(kChunk, count - done);
    for (std::size_t i = 0; i < n; ++i) chunk[i] = first[(done + i) * stride];
    Block(chunk.data(), n);
    done += n;
  }
}

void StateHasher::Lines(const char*, std::deque<std::string>& lines) {
  Word(lines.size());
  for (std::size_t i = lines.size() - std::min(linesTail_, lines.size()); i < lines.size(); ++i)
    Text(lines[i]);
}

}  // namespace hc11
