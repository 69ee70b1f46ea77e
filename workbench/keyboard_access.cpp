#include "workbench/keyboard_access.h"

#include <cctype>
#include <set>

namespace hc11 {

std::optional<std::size_t> NextFocusStop(const std::vector<bool>& available,
                                         std::optional<std::size_t> current, bool backward) {
  const std::size_t n = available.size();
  if (n == 0) return std::nullopt;
  // From outside, the walk starts just before the first stop (or after the last).
  std::size_t at = current && *current < n ? *current : (backward ? 0 : n - 1);
  for (std::size_t k = 0; k < n; ++k) {
    at = backward ? (at + n - 1) % n : (at + 1) % n;
    if (available[at]) return at;
  }
  return std::nullopt;
}

char MnemonicOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
      continue;
    }
    const auto c = static_cast<unsigned char>(caption[i + 1]);
    return std::isalpha(c) && c < 0x80 ? static_cast<char>(std::tolower(c)) : 0;
  }
  return 0;
}

std::vector<std::string> WithDistinctMnemonics(const std::vector<std::string>& captions) {
  std::vector<std::string> result;
  std::set<char> taken;
  for (const std::string& caption : captions) {
    const char own = MnemonicOf(caption);
    if (own != 0 && taken.insert(own).second) {
      result.push_back(caption);
      continue;
    }
    // The text without its "&" marks, then the first free letter marked.
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
      if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] != '&') continue;
      plain += caption[i];
      if (caption[i] == '&') plain += caption[++i];
    }
    std::string marked = plain;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      const auto c = static_cast<unsigned char>(plain[i]);
      if (c >= 0x80 || !std::isalpha(c)) continue;
      if (i > 0 && plain[i - 1] == '&') continue;
      if (!taken.insert(static_cast<char>(std::tolower(c))).second) continue;
      marked = plain.substr(0, i) + "&" + plain.substr(i);
      break;
    }
    result.push_back(marked);
  }
  return result;
}

}  // namespace hc11
