#include "debugger/hex_entry.h"

#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11 {

HexEntry ParseHexEntry(std::string_view text) {
  const std::string_view t = TrimView(text);
  std::uint32_t v = 0;
  bool ok = !t.empty() && t.size() <= 8;
  for (char c : t) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      ok = false;
      break;
    }
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  if (!ok) return {std::nullopt, "'$" + QuoteText(text) + "' n'est pas une valeur hexadécimale valide"};
  return {v, {}};
}

HexEntry ParseHexEntry(std::string_view text, std::uint32_t max) {
  HexEntry e = ParseHexEntry(text);
  if (e.value && *e.value > max) return {std::nullopt, Format("$%X hors limites (0 à $%X)", *e.value, max)};
  return e;
}

}  // namespace hc11
