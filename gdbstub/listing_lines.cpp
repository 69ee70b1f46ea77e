#include "gdbstub/listing_lines.h"

#include <cctype>
#include <optional>
#include <string>

#include "core/text_util.h"

namespace hc11::gdb {

namespace {

std::optional<std::uint32_t> HexField(std::string_view s) {
  if (s.empty()) return std::nullopt;
  std::uint32_t v = 0;
  for (const char c : s) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    v = v * 16 + static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c)) != 0
                                                ? c - '0'
                                                : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
  }
  return v;
}

std::string_view Column(std::string_view line, std::size_t from, std::size_t count) {
  if (from >= line.size()) return {};
  return line.substr(from, count);
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<std::uint32_t> DecimalField(std::string_view s) {
  s = Trimmed(s);
  if (s.empty() || s.size() > 7) return std::nullopt;
  std::uint32_t v = 0;
  for (const char c : s) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    v = v * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return v;
}

struct SourceField {
  std::string label, mnemonic, operand;
};

// Label (when one starts the field), mnemonic in lower case and operand of a
// source field, the comment left out.
SourceField Split(std::string_view source) {
  source = source.substr(0, source.find(';'));
  SourceField f;
  std::size_t i = 0;
  auto word = [&](bool colonEnds) {
    std::string w;
    while (i < source.size() && source[i] != ' ' && source[i] != '\t' && !(colonEnds && source[i] == ':'))
      w.push_back(source[i++]);
    if (colonEnds && i < source.size() && source[i] == ':') ++i;
    while (i < source.size() && (source[i] == ' ' || source[i] == '\t')) ++i;
    return w;
  };
  if (!source.empty() && source[0] != ' ' && source[0] != '\t') f.label = word(true);
  while (i < source.size() && (source[i] == ' ' || source[i] == '\t')) ++i;
  f.mnemonic = ToLower(word(false));
  f.operand = std::string(Trimmed(source.substr(std::min(i, source.size()))));
  return f;
}

bool IsData(const std::string& m) {
  return m == "db" || m == "dw" || m == "fill" || m == "ds";
}

// Calls `f(line, number)` for each line before the symbol section.
template <typename F>
void ForEachLine(std::string_view text, F f) {
  std::uint32_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (line.find("S Y M B O L") != std::string_view::npos) return;
    f(line, number);
  }
}

}  // namespace

std::vector<ListedLine> ReadListedLines(std::string_view text) {
  std::vector<ListedLine> lines;
  std::uint32_t lastSource = 0;
  ForEachLine(text, [&](std::string_view line, std::uint32_t number) {
    if (const auto n = DecimalField(Column(line, 22, 5))) lastSource = *n;
    const auto address = HexField(Column(line, 0, 4));
    const bool hasCode = line.size() > 6 && HexField(Column(line, 5, 2)).has_value();
    if (!address || !hasCode || Column(line, 4, 1) != " ") return;
    const bool data = IsData(Split(Column(line, 28, std::string_view::npos)).mnemonic);
    lines.push_back({static_cast<std::uint16_t>(*address), number, lastSource, data});
  });
  return lines;
}

std::vector<ListedVariable> ReadListedVariables(std::string_view text, const TConstantList& constants) {
  std::vector<ListedVariable> variables;
  ForEachLine(text, [&](std::string_view line, std::uint32_t) {
    const auto address = HexField(Column(line, 0, 4));
    if (!address || !DecimalField(Column(line, 22, 5))) return;
    const SourceField f = Split(Column(line, 28, std::string_view::npos));
    if (f.label.empty() || f.mnemonic != "ds") return;
    std::optional<long long> count = StrToIntSigned(f.operand);
    if (!count) {
      const auto constant = constants.find(f.operand);
      if (constant != constants.end()) count = StrToIntSigned(Trim(constant->second.second));
    }
    const bool readable = count && *count > 0 && *count <= 0x10000 - static_cast<long long>(*address);
    variables.push_back(
        {f.label, static_cast<std::uint16_t>(*address), readable ? static_cast<std::uint32_t>(*count) : 1u});
  });
  return variables;
}

}  // namespace hc11::gdb
