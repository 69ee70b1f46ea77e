// Appends the encodings the debugging sections are made of: big-endian
// fixed-size numbers (the 68HC11's byte order), LEB128 and C strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hc11::gdb {

class ByteWriter {
 public:
  void U8(std::uint32_t v) { bytes_.push_back(static_cast<char>(v & 0xFF)); }
  void U16(std::uint32_t v) {
    U8(v >> 8);
    U8(v);
  }
  void U32(std::uint32_t v) {
    U16(v >> 16);
    U16(v);
  }
  void Uleb(std::uint64_t v) {
    do {
      const auto low = static_cast<std::uint8_t>(v & 0x7F);
      v >>= 7;
      U8(v != 0 ? low | 0x80 : low);
    } while (v != 0);
  }
  void Sleb(std::int64_t v) {
    for (;;) {
      const auto low = static_cast<std::uint8_t>(v & 0x7F);
      v >>= 7;  // arithmetic: the sign is kept
      const bool done = (v == 0 && (low & 0x40) == 0) || (v == -1 && (low & 0x40) != 0);
      U8(done ? low : low | 0x80);
      if (done) return;
    }
  }
  void Str(std::string_view s) {
    bytes_.append(s);
    bytes_.push_back('\0');
  }
  void Append(std::string_view bytes) { bytes_.append(bytes); }
  // Overwrites a 32-bit value written earlier (a length known only later).
  void Patch32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>(v >> (24 - 8 * i) & 0xFF);
  }
  std::size_t size() const { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace hc11::gdb
