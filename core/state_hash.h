// A 64-bit digest of the visited state. Blocks are summed Fletcher-style
// over 64-bit words (a running sum and a sum of sums, so order counts),
// which keeps 64 KiB to a few microseconds; the sums and every scalar go
// through a multiplicative mix. Not cryptographic: it tells runs apart,
// nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/state_visitor.h"

namespace hc11 {

class StateHasher final : public StateVisitor {
 public:
  // `linesTail` bounds how many of a line list's last lines count (its
  // length always does).
  explicit StateHasher(std::size_t linesTail = SIZE_MAX) : linesTail_(linesTail) {}

  void Field(const char*, bool& v) override { Word(v ? 1 : 0); }
  void Field(const char*, std::uint8_t& v) override { Word(v); }
  void Field(const char*, std::uint16_t& v) override { Word(v); }
  void Field(const char*, std::uint32_t& v) override { Word(v); }
  void Field(const char*, std::uint64_t& v) override { Word(v); }
  void Field(const char*, std::string& v) override { Text(v); }
  void Bytes(const char*, std::span<std::uint8_t> bytes) override { Block(bytes.data(), bytes.size()); }
  void Column(const char* name, std::uint8_t* first, std::size_t count, std::size_t stride) override;
  void Lines(const char* name, std::deque<std::string>& lines) override;
  using StateVisitor::Field;

  void Word(std::uint64_t w) { h_ = Mix(h_ ^ w); }
  // `keep` masks each word (a column's bytes within its records).
  void Block(const std::uint8_t* p, std::size_t n, std::uint64_t keep = ~std::uint64_t{0});
  void Text(const std::string& s) { Block(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); }
  std::uint64_t Final() const { return Mix(h_ + 0x9E3779B97F4A7C15ull); }

 private:
  static std::uint64_t Mix(std::uint64_t x) {
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 29;
    x *= 0xC4CEB9FE1A85EC53ull;
    return x ^ (x >> 32);
  }
  std::uint64_t h_ = 1;
  std::size_t linesTail_;
};

}  // namespace hc11
