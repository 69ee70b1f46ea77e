#include "workbench/source_map.h"

#include <cctype>

#include "core/file_read.h"
#include "core/text_util.h"
#include "listing/line_reader.h"

namespace hc11 {

namespace {

constexpr std::size_t kBytesFirst = 5;    // column 6
constexpr std::size_t kBytesEnd = 22;     // the line number starts in column 23
constexpr std::size_t kSourceField = 28;  // column 29

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<std::uint16_t> AddressField(const std::string& s) {
  if (s.size() < 4) return std::nullopt;
  for (std::size_t i = 0; i < 4; ++i)
    if (!IsHex(s[i])) return std::nullopt;
  if (s.size() > 4 && s[4] != ' ') return std::nullopt;
  return static_cast<std::uint16_t>(std::stoul(s.substr(0, 4), nullptr, 16));
}

// Code bytes shown as "hh hh hh" from column 6.
int CodeBytes(const std::string& s) {
  int count = 0;
  for (std::size_t at = kBytesFirst; at + 1 < std::min(s.size(), kBytesEnd); at += 3) {
    if (!IsHex(s[at]) || !IsHex(s[at + 1])) break;
    ++count;
  }
  return count;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

SourceMap::SourceMap(std::vector<std::string> lines, const TListingMap* listingMap)
    : lines_(std::move(lines)) {
  Index(listingMap);
}

bool SourceMap::Read(const std::string& listingFile, const TListingMap* listingMap, std::string& error) {
  lines_.clear();
  // Read and split as the listing reader does, so row N is its line N.
  std::string content;
  ReadProblem problem;
  if (!ReadRegularFile(listingFile, content, problem)) {
    error = listingFile + ": lecture impossible";
    Index(nullptr);
    return false;
  }
  for (LineReader reader(content); !reader.AtEnd();) lines_.push_back(reader.Next());
  Index(listingMap);
  return true;
}

void SourceMap::Index(const TListingMap* listingMap) {
  code_.assign(lines_.size(), std::nullopt);
  byAddress_.clear();
  bool inMacroBlock = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& s = lines_[i];
    const std::string lower = Lower(s);
    // The reader takes macro definitions from these lines, never code.
    if (inMacroBlock) {
      const std::size_t end = lower.find(";!endmacro");
      if (end != std::string::npos && end > 0) inMacroBlock = false;
      continue;
    }
    if (lower.find(";!macros") != std::string::npos) {
      inMacroBlock = true;
      continue;
    }
    if (s.find("S Y M B O L") != std::string::npos) break;
    const auto address = AddressField(s);
    const int bytes = CodeBytes(s);
    if (!address || bytes == 0) continue;
    if (listingMap != nullptr && (*listingMap)[*address] != 'L' && (*listingMap)[*address] != 'R') continue;
    code_[i] = CodeLine{*address, bytes};
    byAddress_.emplace(*address, i);
  }
}

std::optional<std::uint16_t> SourceMap::AddressOfLine(std::size_t line) const {
  if (line >= code_.size() || !code_[line]) return std::nullopt;
  return code_[line]->address;
}

std::optional<std::size_t> SourceMap::LineOfAddress(std::uint16_t address) const {
  auto it = byAddress_.upper_bound(address);
  if (it == byAddress_.begin()) return std::nullopt;
  --it;
  const CodeLine& c = *code_[it->second];
  if (address - c.address >= c.bytes) return std::nullopt;
  return it->second;
}

std::string CalleeOfSourceLine(std::string_view line) {
  std::string field = line.size() > kSourceField ? std::string(line.substr(kSourceField)) : std::string();
  if (const auto semi = field.find(';'); semi != std::string::npos) field.resize(semi);
  // A label in the field's first column comes before the mnemonic.
  if (!field.empty() && field[0] != ' ' && field[0] != '\t') {
    const auto blank = field.find_first_of(" \t");
    field = blank == std::string::npos ? std::string() : field.substr(blank);
  }
  field = Trim(field);
  const auto blank = field.find_first_of(" \t");
  if (blank == std::string::npos) return {};
  const std::string mnemonic = Lower(field.substr(0, blank));
  if (mnemonic != "call" && mnemonic != "callr" && mnemonic != "jsr" && mnemonic != "bsr") return {};
  std::string operand = Trim(field.substr(blank));
  if (const auto end = operand.find_first_of(" \t"); end != std::string::npos) operand.resize(end);
  if (!operand.empty() && (operand[0] == '>' || operand[0] == '<')) operand.erase(0, 1);
  if (operand.empty() || operand.find(',') != std::string::npos) return {};
  return operand;
}

}  // namespace hc11
