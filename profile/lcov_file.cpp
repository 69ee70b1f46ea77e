#include "profile/lcov_file.h"

#include <filesystem>
#include <map>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/text_util.h"
#include "listing/line_reader.h"

namespace hc11 {

namespace {

constexpr std::size_t kSourceColumn = 28;  // column 29, counted from 0

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsDataOrDirective(const std::string& mnemonic) {
  static constexpr std::string_view kNoCode[] = {"db",  "dw",  "fill",  "ds",  "equ",
                                                 "org", "end", "macro", "endm"};
  const std::string m = ToLower(mnemonic);
  for (std::string_view d : kNoCode)
    if (m == d) return true;
  return false;
}

// The mnemonic of the source field: after the label when one starts the field.
std::string MnemonicOf(std::string_view source) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < source.size() && (source[i] == ' ' || source[i] == '\t')) ++i;
  };
  if (!source.empty() && source[0] != ' ' && source[0] != '\t' && source[0] != '#') {
    while (i < source.size() && source[i] != ' ' && source[i] != '\t' && source[i] != ':') ++i;
    if (i < source.size() && source[i] == ':') ++i;
  }
  skipBlanks();
  const std::size_t from = i;
  while (i < source.size() && source[i] != ' ' && source[i] != '\t') ++i;
  return std::string(source.substr(from, i - from));
}

bool IsBranch(const std::array<std::uint8_t, 65536>& memory, std::uint16_t address) {
  const std::uint8_t op = memory[address];
  FlowKind kind = FlowKinds()[op];
  if (kind == FlowKind::Prefix)
    kind = FlowKinds()[Decoder().prefixSlot[op] * 256u + memory[static_cast<std::uint16_t>(address + 1)]];
  return kind == FlowKind::Branch;
}

std::string Count(std::uint64_t n) {
  return std::to_string(n);
}

}  // namespace

std::optional<std::uint16_t> CodeLineAddress(std::string_view line, const TListingMap& placed) {
  if (line.size() <= kSourceColumn || !IsHexDigit(line[5]) || !IsHexDigit(line[6])) return std::nullopt;
  for (std::size_t i = 0; i < 4; ++i)
    if (!IsHexDigit(line[i])) return std::nullopt;
  const auto address = StrToWord("$" + std::string(line.substr(0, 4)));
  if (!address || placed[*address] == 0) return std::nullopt;
  std::string_view source = line.substr(kSourceColumn);
  if (const auto semi = source.find(';'); semi != std::string_view::npos) source = source.substr(0, semi);
  const std::string mnemonic = MnemonicOf(source);
  if (mnemonic.empty() || IsDataOrDirective(mnemonic)) return std::nullopt;
  return address;
}

std::string LcovTracefile(const std::string& lstPath, const std::vector<std::string>& lstLines,
                          const TListingMap& placed, const std::array<std::uint8_t, 65536>& memory,
                          const Profiler& profiler) {
  const ExecCounters& counters = profiler.counters();
  struct CodeLine {
    std::size_t number;  // physical line, from 1
    std::uint16_t address;
  };
  std::vector<CodeLine> code;
  std::map<std::uint16_t, std::size_t> firstLineAt;
  for (std::size_t i = 0; i < lstLines.size(); ++i) {
    if (lstLines[i].find("S Y M B O L") != std::string::npos) break;
    if (const auto a = CodeLineAddress(lstLines[i], placed)) {
      code.push_back({i + 1, *a});
      firstLineAt.emplace(*a, i + 1);
    }
  }

  std::string out = "TN:\nSF:" + lstPath + "\n";
  std::size_t found = 0, hit = 0;
  std::string hits;
  const std::vector<MappedFunction>& functions = profiler.functions().functions;
  for (std::size_t i = 0; i < functions.size(); ++i) {
    const auto line = firstLineAt.find(functions[i].entry);
    if (line == firstLineAt.end()) continue;
    // A function that ran without being called (the start, or one reached
    // by a jump) still counts as entered once.
    std::uint64_t calls = counters.Calls(i + 1);
    if (calls == 0) {
      for (std::uint32_t a = functions[i].entry; a <= functions[i].last && calls == 0; ++a)
        if (counters.At(static_cast<std::uint16_t>(a)).count != 0) calls = 1;
    }
    out += "FN:" + Count(line->second) + "," + functions[i].name + "\n";
    hits += "FNDA:" + Count(calls) + "," + functions[i].name + "\n";
    ++found;
    if (calls != 0) ++hit;
  }
  out += hits + "FNF:" + Count(found) + "\nFNH:" + Count(hit) + "\n";

  found = hit = 0;
  for (const CodeLine& c : code) {
    if (!IsBranch(memory, c.address)) continue;
    const ExecCounters::BranchCell& b = counters.BranchAt(c.address);
    const bool ran = counters.At(c.address).count != 0;
    const std::string taken = ran ? Count(b.taken) : "-", notTaken = ran ? Count(b.notTaken) : "-";
    out += "BRDA:" + Count(c.number) + ",0,0," + taken + "\n";
    out += "BRDA:" + Count(c.number) + ",0,1," + notTaken + "\n";
    found += 2;
    hit += (b.taken != 0) + (b.notTaken != 0);
  }
  out += "BRF:" + Count(found) + "\nBRH:" + Count(hit) + "\n";

  hit = 0;
  for (const CodeLine& c : code) {
    const std::uint64_t n = counters.At(c.address).count;
    out += "DA:" + Count(c.number) + "," + Count(n) + "\n";
    if (n != 0) ++hit;
  }
  out += "LF:" + Count(code.size()) + "\nLH:" + Count(hit) + "\nend_of_record\n";
  return out;
}

bool WriteLcovFile(const std::string& infoPath, const std::string& lstPath, const Listing& listing,
                   const std::array<std::uint8_t, 65536>& memory, const Profiler& profiler,
                   std::string& error) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(lstPath, ec).lexically_normal();
  if (ec) absolute = lstPath;
  // Read and split as the listing reader does, so the line numbers are the
  // ones it gave (a lone CR ends a line there too).
  std::string content;
  ReadProblem problem;
  if (!ReadRegularFile(lstPath, content, problem)) {
    error = lstPath + ": " + problem.reason;
    return false;
  }
  std::vector<std::string> lines;
  for (LineReader reader(content); !reader.AtEnd();) lines.push_back(reader.Next());
  const std::string text = LcovTracefile(absolute.string(), lines, *listing.ListingMap, memory, profiler);
  if (WriteFileWhole(infoPath, text, error)) return true;
  error = infoPath + ": " + error;
  return false;
}

}  // namespace hc11
