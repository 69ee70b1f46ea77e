#include "dap/base64.h"

namespace hc11::dap {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char c) {
  const std::size_t i = kAlphabet.find(c);
  return i == std::string_view::npos ? -1 : static_cast<int>(i);
}

}  // namespace

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t count) {
  std::string out;
  out.reserve((count + 2) / 3 * 4);
  for (std::size_t i = 0; i < count; i += 3) {
    const std::uint32_t n = std::uint32_t{bytes[i]} << 16 |
                            (i + 1 < count ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                            (i + 2 < count ? bytes[i + 2] : 0);
    out += kAlphabet[n >> 18 & 63];
    out += kAlphabet[n >> 12 & 63];
    out += i + 1 < count ? kAlphabet[n >> 6 & 63] : '=';
    out += i + 2 < count ? kAlphabet[n & 63] : '=';
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
    std::uint32_t n = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const int s = k >= 4 - static_cast<std::size_t>(pad) ? 0 : Sextet(text[i + k]);
      if (s < 0) return std::nullopt;
      n = n << 6 | static_cast<std::uint32_t>(s);
    }
    out.push_back(static_cast<std::uint8_t>(n >> 16));
    if (pad < 2) out.push_back(static_cast<std::uint8_t>(n >> 8));
    if (pad < 1) out.push_back(static_cast<std::uint8_t>(n));
  }
  return out;
}

}  // namespace hc11::dap
