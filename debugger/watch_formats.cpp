#include "debugger/watch_formats.h"

#include <cmath>

#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/hex_entry.h"

namespace hc11 {

namespace {

std::uint32_t Element(const std::vector<std::uint8_t>& c, std::size_t first, std::size_t bytes) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < bytes; ++k) v = v << 8 | c[first + k];
  return v;
}

const char* HexPiece(std::uint8_t bytes) {
  switch (bytes) {
    case 1:
      return " %4x";
    case 2:
      return " %8x";
    case 3:
      return " %6x";
    case 4:
      return " %8x";
    default:
      return nullptr;
  }
}

const char* DecimalPiece(std::uint8_t bytes) {
  switch (bytes) {
    case 1:
      return " %3u";
    case 2:
      return " %6u";
    case 3:
      return " %8u";
    case 4:
      return " %9u";
    default:
      return nullptr;
  }
}

}  // namespace

double Real6ToDouble(const std::uint8_t* b) {
  if (b[0] == 0) return 0.0;
  double fraction = b[1] & 0x7F;
  for (int k = 2; k < 6; ++k) fraction = fraction * 256.0 + b[k];
  const double mantissa = 1.0 + fraction / std::ldexp(1.0, 39);
  const double v = std::ldexp(mantissa, b[0] - 129);
  return (b[1] & 0x80) ? -v : v;
}

std::string WatchValueText(std::uint8_t format, std::uint8_t elements, std::uint8_t bytesPer,
                           const std::vector<std::uint8_t>& c) {
  std::string text;
  const std::size_t n = c.size();
  switch (format) {
    case FmtBits:
      for (std::size_t i = 0; i < elements && i < n; ++i) text += c[i] != 0 ? " 1" : " 0";
      break;
    case FmtHex:
    case FmtDecimal: {
      const char* piece = format == FmtHex ? HexPiece(bytesPer) : DecimalPiece(bytesPer);
      if (piece == nullptr) break;
      for (std::size_t i = 0; i < elements && (i + 1) * bytesPer <= n; ++i)
        text += Format(piece, Element(c, i * bytesPer, bytesPer));
      break;
    }
    case FmtSigned:
      if (bytesPer == 1 && n >= 1) text = Format(" %3d", c[0]);
      if (bytesPer == 2 && n >= 2) text = Format(" %3d", static_cast<std::int16_t>(Element(c, 0, 2)));
      break;
    case FmtFloat:
      if (n >= 6) text = Format(" %.2f", Real6ToDouble(c.data()));
      break;
    case FmtString:
      for (std::size_t i = 0; i < elements && i < n; ++i)
        text += c[i] != 0 ? std::string(1, static_cast<char>(c[i])) : Format("!%2x!", c[i]);
      break;
    default:
      break;
  }
  return text;
}

std::vector<std::string> WriteWatchText(std::string_view text, std::uint8_t format, std::uint16_t address,
                                        std::uint8_t elements, std::uint8_t bytesPer,
                                        const std::function<void(std::uint16_t, std::uint8_t)>& store) {
  std::vector<std::string> messages;
  if (std::size_t{elements} * bytesPer > kWatchBlockMax) {
    messages.push_back(Format("Bloc de %u octets refusé (au plus %zu)", elements * bytesPer, kWatchBlockMax));
    return messages;
  }
  const std::vector<std::string> tokens = SplitBlanksAndCommas(text);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string& t = tokens[i];
    std::vector<std::pair<std::uint32_t, std::uint8_t>> bytes;  // (address, byte), checked before storing
    switch (format) {
      case FmtBits: {
        const HexEntry v = ParseHexEntry(t);
        if (!v.value) continue;
        bytes.emplace_back(address + i, static_cast<std::uint8_t>(*v.value));
        break;
      }
      case FmtHex:
      case FmtDecimal: {
        std::optional<long long> v;
        if (format == FmtHex) {
          const HexEntry h = ParseHexEntry(t);
          if (h.value) v = *h.value;
        } else if (t.find('$') == std::string::npos) {
          v = StrToIntSigned(t);
        }
        if (!v) continue;
        // Every byte of the element, most significant first as the processor
        // keeps words; beyond the value's 64 bits come its sign bytes.
        const std::uint32_t at = address + static_cast<std::uint32_t>(i) * bytesPer;
        for (unsigned k = 0; k < bytesPer; ++k) {
          const unsigned shift = 8 * (bytesPer - 1 - k);
          const long long byte = shift < 64 ? *v >> shift : (*v < 0 ? -1 : 0);
          bytes.emplace_back(at + k, static_cast<std::uint8_t>(byte));
        }
        break;
      }
      case FmtString:
        for (std::size_t j = 0; j < std::min<std::size_t>(elements, t.size()); ++j)
          bytes.emplace_back(address + i + j, static_cast<std::uint8_t>(t[j]));
        break;
      default:  // signed decimal and float store nothing
        continue;
    }
    bool fits = true;
    for (const auto& [at, byte] : bytes) fits = fits && at <= 0xFFFF;
    if (!fits) {
      messages.push_back("Valeur \"" + QuoteText(t) + "\" refusée: écriture au-delà de $FFFF");
      continue;
    }
    for (const auto& [at, byte] : bytes) store(static_cast<std::uint16_t>(at), byte);
  }
  return messages;
}

}  // namespace hc11
