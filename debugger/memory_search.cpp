#include "debugger/memory_search.h"

#include <algorithm>

#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view WithoutHexPrefix(std::string_view t) {
  if (t.starts_with("0x") || t.starts_with("0X")) return t.substr(2);
  if (t.starts_with("$")) return t.substr(1);
  return t;
}

// Hexadecimal digits only, at most `maxDigits` of them.
std::optional<std::uint32_t> HexNumber(std::string_view t, std::size_t maxDigits) {
  t = WithoutHexPrefix(t);
  if (t.empty() || t.size() > maxDigits) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : t) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  return v;
}

class PatternReader {
 public:
  explicit PatternReader(std::string_view text) : text_(text) {}

  ParsedMemorySearch Read() {
    MemorySearch s;
    for (;;) {
      while (at_ < text_.size() && IsSeparator(text_[at_])) ++at_;
      if (at_ >= text_.size()) break;
      if (text_[at_] == '@') {
        std::string error;
        if (!ParseAddressRange(text_.substr(at_ + 1), s.range, error)) return Fail(error);
        if (!s.range) return Fail("plage vide après @");
        break;
      }
      const bool ok = text_[at_] == '"' ? Text(s) : Word(s);
      if (!ok) return Fail(error_);
      if (s.bytes.size() > kMaxPatternBytes)
        return Fail(Format("motif trop long (%zu octets au plus)", kMaxPatternBytes));
    }
    if (s.bytes.empty()) return Fail("motif vide");
    return {std::move(s), {}};
  }

 private:
  static ParsedMemorySearch Fail(std::string error) { return {std::nullopt, std::move(error)}; }

  static void Add(MemorySearch& s, std::uint8_t byte, bool any = false) {
    s.bytes.push_back(byte);
    s.any.push_back(any);
  }

  std::string_view NextWord() {
    const std::size_t from = at_;
    while (at_ < text_.size() && !IsSeparator(text_[at_]) && text_[at_] != '"' && text_[at_] != '@') ++at_;
    return text_.substr(from, at_ - from);
  }

  bool Refuse(std::string error) {
    error_ = std::move(error);
    return false;
  }

  // A quoted text; UTF-8 letters up to U+00FF are stored as their Latin-1 byte.
  bool Text(MemorySearch& s) {
    ++at_;
    while (at_ < text_.size() && text_[at_] != '"') {
      auto c = static_cast<unsigned char>(text_[at_++]);
      if (c == '\\' && at_ < text_.size() && (text_[at_] == '"' || text_[at_] == '\\')) {
        Add(s, static_cast<std::uint8_t>(text_[at_++]));
        continue;
      }
      if (c < 0x80) {
        Add(s, c);
        continue;
      }
      // Two-byte sequences C2 80 .. C3 BF are U+0080 .. U+00FF.
      if ((c == 0xC2 || c == 0xC3) && at_ < text_.size() &&
          (static_cast<unsigned char>(text_[at_]) & 0xC0) == 0x80) {
        Add(s,
            static_cast<std::uint8_t>((c & 0x03) << 6 | (static_cast<unsigned char>(text_[at_++]) & 0x3F)));
        continue;
      }
      return Refuse("texte: seuls les caractères Latin-1 ont un octet");
    }
    if (at_ >= text_.size()) return Refuse("texte sans guillemet fermant");
    ++at_;
    return true;
  }

  bool Word(MemorySearch& s) {
    const std::string_view w = NextWord();
    if (w == "??" || w == "?") {
      Add(s, 0, true);
      return true;
    }
    if (w == ".w" || w == ".W") {
      while (at_ < text_.size() && IsSeparator(text_[at_])) ++at_;
      const std::string_view v = NextWord();
      if (v == "??" || v == "????") {
        Add(s, 0, true);
        Add(s, 0, true);
        return true;
      }
      const auto word = HexNumber(v, 4);
      if (!word) return Refuse(".w: un mot hexadécimal de 0 à FFFF est attendu, pas '" + QuoteText(v) + "'");
      Add(s, static_cast<std::uint8_t>(*word >> 8));
      Add(s, static_cast<std::uint8_t>(*word));
      return true;
    }
    const std::string_view digits = WithoutHexPrefix(w);
    const bool hex =
        !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return HexDigit(c) >= 0; });
    if (!hex)
      return Refuse("'" + QuoteText(w) +
                    "' n'est ni un octet hexadécimal, ni ??, ni un texte entre guillemets, ni .w");
    if (digits.size() > 2 && digits.size() % 2 != 0)
      return Refuse("'" + QuoteText(w) + "': un nombre impair de chiffres ne fait pas des octets");
    if (digits.size() <= 2) {
      Add(s, static_cast<std::uint8_t>(*HexNumber(digits, 2)));
      return true;
    }
    for (std::size_t i = 0; i < digits.size(); i += 2)
      Add(s, static_cast<std::uint8_t>(HexDigit(digits[i]) << 4 | HexDigit(digits[i + 1])));
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string error_;
};

bool MatchesAt(std::span<const std::uint8_t> memory, const MemorySearch& s, std::size_t at) {
  for (std::size_t i = 0; i < s.bytes.size(); ++i)
    if (!s.any[i] && memory[at + i] != s.bytes[i]) return false;
  return true;
}

// The first and one past the last start address a whole match can have.
std::pair<std::size_t, std::size_t> Starts(std::span<const std::uint8_t> memory, const MemorySearch& s) {
  const AddressRange r = s.range.value_or(AddressRange{0, static_cast<std::uint32_t>(memory.size()) - 1});
  const std::size_t end = std::min<std::size_t>(std::size_t{r.last} + 1, memory.size());
  if (s.bytes.empty() || r.first >= end || end - r.first < s.bytes.size()) return {0, 0};
  return {r.first, end - s.bytes.size() + 1};
}

}  // namespace

ParsedMemorySearch ParseMemorySearch(std::string_view text) {
  return PatternReader(text).Read();
}

bool ParseAddressRange(std::string_view text, std::optional<AddressRange>& range, std::string& error) {
  const std::string_view t = TrimView(text);
  range.reset();
  if (t.empty()) return true;
  const std::size_t dash = t.find('-');
  const auto first = HexNumber(TrimView(t.substr(0, dash)), 4);
  const auto last = dash == std::string_view::npos ? std::optional<std::uint32_t>(0xFFFF)
                                                   : HexNumber(TrimView(t.substr(dash + 1)), 4);
  if (!first || !last) {
    error = "plage: DEBUT-FIN en hexadécimal de 0 à FFFF est attendu, pas '" + QuoteText(t) + "'";
    return false;
  }
  if (*first > *last) {
    error = "plage: le début passe la fin dans '" + QuoteText(t) + "'";
    return false;
  }
  range = AddressRange{*first, *last};
  return true;
}

std::vector<std::uint16_t> FindAll(std::span<const std::uint8_t> memory, const MemorySearch& search) {
  std::vector<std::uint16_t> found;
  const auto [from, to] = Starts(memory, search);
  for (std::size_t a = from; a < to; ++a)
    if (MatchesAt(memory, search, a)) found.push_back(static_cast<std::uint16_t>(a));
  return found;
}

std::optional<FoundAt> FindFrom(std::span<const std::uint8_t> memory, const MemorySearch& search,
                                std::uint32_t from) {
  const auto [first, to] = Starts(memory, search);
  for (std::size_t a = std::max<std::size_t>(first, from); a < to; ++a)
    if (MatchesAt(memory, search, a)) return FoundAt{static_cast<std::uint16_t>(a), false};
  for (std::size_t a = first; a < std::min<std::size_t>(from, to); ++a)
    if (MatchesAt(memory, search, a)) return FoundAt{static_cast<std::uint16_t>(a), true};
  return std::nullopt;
}

}  // namespace hc11
