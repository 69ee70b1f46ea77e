#include "gdbstub/elf_symbols.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "core/hex_loader.h"
#include "core/machine.h"
#include "core/text_util.h"
#include "listing/symbols.h"

namespace hc11::gdb {

bool ReadCodeImage(const std::string& hexFile, CodeImage& image, Messages& messages) {
  // A byte is part of the image when the load writes it over both fills.
  auto zeros = std::make_unique<Machine>();
  auto ones = std::make_unique<Machine>();
  ones->Memory.fill(0xFF);
  if (!LoadHexImage(*zeros, hexFile, messages)) return false;
  if (!LoadHexImage(*ones, hexFile, messages)) return false;
  image.bytes = zeros->Memory;
  for (std::size_t a = 0; a < image.bytes.size(); ++a) image.loaded[a] = zeros->Memory[a] == ones->Memory[a];
  return true;
}

namespace {

std::vector<ElfSection> Sections(const CodeImage& code) {
  std::vector<ElfSection> sections;
  for (std::size_t a = 0; a < code.bytes.size();) {
    if (!code.loaded[a]) {
      ++a;
      continue;
    }
    ElfSection s;
    s.name = sections.empty() ? ".text" : ".text." + std::to_string(sections.size());
    s.address = static_cast<std::uint16_t>(a);
    while (a < code.bytes.size() && code.loaded[a]) s.bytes.push_back(code.bytes[a++]);
    sections.push_back(std::move(s));
  }
  return sections;
}

// Every label once, by name, with its address: the symbol section first,
// then the line list's labels that carry an address.
std::map<std::string, std::uint16_t> Labels(const Listing& listing) {
  std::map<std::string, std::uint16_t> labels;
  for (const SymbolItem& item : listing.Symbols.ListSymbI) labels.emplace(item.sym.Name, item.sym.Addr);
  for (const TSynElem& line : listing.LineList) {
    if (line.Label.empty() || line.AddrText.empty()) continue;
    if (const auto a = StrToWord("$" + line.AddrText)) labels.emplace(line.Label, *a);
  }
  return labels;
}

// Names the program calls ("call NAME", "callr NAME"): functions even when
// the function list leaves them out.
std::set<std::string> CalledNames(const Listing& listing) {
  std::set<std::string> called;
  for (const TSynElem& line : listing.LineList) {
    std::string text = line.Text;
    const std::string mnemonic = ToLower(NextToken(text, " \t"));
    if (!mnemonic.starts_with("call")) continue;
    const std::string callee = Trim(NextToken(text, " \t;"));
    if (!callee.empty()) called.insert(callee);
  }
  return called;
}

bool IsDataMnemonic(const std::string& mnemonic) {
  const std::string m = ToLower(mnemonic);
  return m == "db" || m == "dw" || m == "fill" || m == "ds";
}

// Where the listing's lines start: data ("db", "dw", "fill", "ds") or
// anything else that was assembled (an instruction).
struct LineStarts {
  std::bitset<65536> data, code;
};

LineStarts Starts(const Listing& listing) {
  LineStarts starts;
  for (const TSynElem& line : listing.LineList) {
    if (line.AddrText.empty()) continue;
    const auto a = StrToWord("$" + line.AddrText);
    if (!a) continue;
    std::string text = line.Text;
    (IsDataMnemonic(NextToken(text, " \t")) ? starts.data : starts.code)[*a] = true;
  }
  return starts;
}

}  // namespace

ElfImage ProgramElfImage(const CodeImage& code, const Listing& listing, std::uint16_t entry) {
  ElfImage image;
  image.entry = entry;
  image.sections = Sections(code);
  const std::set<std::string> called = CalledNames(listing);
  const LineStarts lines = Starts(listing);
  std::bitset<65536> labelled;
  for (const auto& [name, address] : Labels(listing)) {
    ElfSymbol sym{name, address, 0, ElfSymbolType::Object};
    labelled[address] = true;
    // A table in the code is data, whatever names it.
    if ((*listing.ListingMap)[address] == kMapListing && code.loaded[address] && !lines.data[address]) {
      const bool function = listing.FunctionList.entries.contains(name) || called.contains(name);
      sym.type = function ? ElfSymbolType::Function : ElfSymbolType::NoType;
    }
    image.symbols.push_back(std::move(sym));
  }
  // A function's size: up to the next function, the first data line or the
  // end of its run of bytes. A table's: its bytes up to the next label or
  // instruction.
  std::bitset<65536> functionStarts;
  for (const ElfSymbol& s : image.symbols)
    if (s.type == ElfSymbolType::Function) functionStarts[s.address] = true;
  const std::bitset<65536> tableEnds = labelled | lines.code, functionEnds = functionStarts | lines.data;
  for (ElfSymbol& s : image.symbols) {
    const bool table = s.type == ElfSymbolType::Object && lines.data[s.address] && code.loaded[s.address];
    if (s.type != ElfSymbolType::Function && !table) continue;
    const std::bitset<65536>& ends = table ? tableEnds : functionEnds;
    std::uint32_t end = s.address + 1u;
    while (end < code.bytes.size() && code.loaded[end] && !ends[end]) ++end;
    s.size = end - s.address;
  }
  std::sort(image.symbols.begin(), image.symbols.end(), [](const ElfSymbol& a, const ElfSymbol& b) {
    return a.address != b.address ? a.address < b.address : a.name < b.name;
  });
  return image;
}

}  // namespace hc11::gdb
