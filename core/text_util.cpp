#include "core/text_util.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace hc11 {

std::string NextToken(std::string& text, std::string_view separators) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string token;
  if (i < text.size() && text[i] == '-') {
    token.push_back('-');
    ++i;
  }
  std::size_t j = i;
  while (j < text.size() && separators.find(text[j]) == std::string_view::npos) ++j;
  token.append(text, i, j - i);
  if (j < text.size())
    text.erase(0, j + 1);
  else
    text.clear();
  return token;
}

namespace {

std::optional<unsigned long long> ParseUnsigned(std::string_view text, unsigned long long limit) {
  if (text.empty()) return std::nullopt;
  unsigned long long value = 0;
  if (text.front() == '$') {
    text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    for (char ch : text) {
      int digit;
      if (ch >= '0' && ch <= '9')
        digit = ch - '0';
      else if (ch >= 'a' && ch <= 'f')
        digit = ch - 'a' + 10;
      else if (ch >= 'A' && ch <= 'F')
        digit = ch - 'A' + 10;
      else
        return std::nullopt;
      value = value * 16 + static_cast<unsigned>(digit);
      if (value > limit) return std::nullopt;
    }
    return value;
  }
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(ch - '0');
    if (value > limit) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint16_t> StrToWord(std::string_view text) {
  auto v = ParseUnsigned(text, 0xFFFF);
  if (!v) return std::nullopt;
  return static_cast<std::uint16_t>(*v);
}

std::optional<long long> StrToIntSigned(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  // Bounded so the magnitude always fits in a long long.
  auto v = ParseUnsigned(text, 0x7FFFFFFFFFFFFFFFull);
  if (!v) return std::nullopt;
  long long value = static_cast<long long>(*v);
  return negative ? -value : value;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string Trim(std::string_view text) {
  return std::string(TrimView(text));
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

std::string Format(const char* fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  std::string out;
  if (n < 0) {
    va_end(copy);
    return out;
  }
  if (static_cast<std::size_t>(n) < sizeof buffer) {
    out.assign(buffer, static_cast<std::size_t>(n));
  } else {
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, copy);
    out.assign(big.data(), static_cast<std::size_t>(n));
  }
  va_end(copy);
  return out;
}

std::string FieldText(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    if (ch == '\t' || ch == '\r' || ch == '\n' || ch == '\0') ch = ' ';
  return out;
}

std::vector<std::string> SplitBlanksAndCommas(std::string_view text) {
  std::vector<std::string> tokens;
  std::string current;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == ',') {
      if (!current.empty()) tokens.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(std::move(current));
  return tokens;
}

}  // namespace hc11
