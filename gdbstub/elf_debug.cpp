#include "gdbstub/elf_debug.h"

#include <algorithm>
#include <filesystem>

#include "gdbstub/dwarf_frame.h"
#include "gdbstub/dwarf_info.h"
#include "gdbstub/dwarf_line.h"
#include "gdbstub/listing_lines.h"
#include "listing/listing_files.h"

namespace hc11::gdb {

namespace {

std::vector<AddressRun> Runs(const ElfImage& image) {
  std::vector<AddressRun> runs;
  for (const ElfSection& s : image.sections)
    runs.push_back({s.address, static_cast<std::uint32_t>(s.address + s.bytes.size())});
  return runs;
}

DebugUnit Unit(const ElfImage& image, const std::vector<ListedLine>& lines,
               const std::vector<ListedVariable>& variables, const std::filesystem::path& file) {
  DebugUnit unit;
  unit.name = file.filename().string();
  unit.directory = file.parent_path().string();
  std::uint32_t low = 0x10000, high = 0;
  for (const ListedLine& l : lines) {
    if (l.data) continue;
    low = std::min<std::uint32_t>(low, l.address);
    high = std::max<std::uint32_t>(high, l.address + 1u);
  }
  for (const ElfSymbol& s : image.symbols) {
    if (s.type != ElfSymbolType::Function) continue;
    low = std::min<std::uint32_t>(low, s.address);
    high = std::max<std::uint32_t>(high, s.address + s.size);
    unit.functions.push_back({s.name, s.address, s.address + s.size, {}});
  }
  unit.low = static_cast<std::uint16_t>(low > high ? 0 : low);
  unit.high = low > high ? 0 : high;
  for (const ElfSymbol& s : image.symbols) {
    if (s.type != ElfSymbolType::NoType) continue;
    for (DebugFunction& f : unit.functions)
      if (s.address > f.start && s.address < f.end) f.labels.push_back({s.name, s.address});
  }
  for (const ListedVariable& v : variables) {
    DebugVariable d{v.name, v.address, VariableType::Byte, 1};
    if (v.size == 2) d.type = VariableType::Word;
    if (v.size > 2) {
      d.type = VariableType::Bytes;
      d.count = v.size;
    }
    unit.variables.push_back(std::move(d));
  }
  return unit;
}

}  // namespace

std::string AssemblerSourceOf(const std::string& listingBase) {
  for (const char* extension : {".asm", ".ASM", ".s"}) {
    std::error_code ec;
    const std::string path = listingBase + extension;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}

bool AddDebugSections(ElfImage& image, const CodeImage& code, const Listing& listing,
                      const std::string& listingBase, LineSource source, std::string& error) {
  const std::string listingFile = ListingFileName(listingBase);
  std::string reason;
  const auto text = ReadWholeFile(listingFile, &reason);
  if (!text) {
    error = listingFile + ": " + reason;
    return false;
  }
  std::string sourceFile = listingFile;
  if (source == LineSource::Assembler) {
    sourceFile = AssemblerSourceOf(listingBase);
    if (sourceFile.empty()) {
      error = "no assembler source beside the listing (" + listingBase + ".asm)";
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(sourceFile, ec);
  if (ec) file = sourceFile;

  const std::vector<ListedLine> lines = ReadListedLines(*text);
  std::vector<LineRow> rows;
  for (const ListedLine& l : lines) {
    if (l.data || !code.loaded[l.address]) continue;
    const std::uint32_t line = source == LineSource::Assembler ? l.sourceLine : l.listingLine;
    if (line != 0) rows.push_back({l.address, line, false});
  }
  for (LineRow& row : rows)
    for (const ElfSymbol& s : image.symbols)
      if (s.type == ElfSymbolType::Function && s.address == row.address) row.entry = true;
  const std::vector<ListedVariable> variables = ReadListedVariables(*text, listing.ConstantList);
  std::uint32_t low = 0x10000, high = 0;
  for (const ListedVariable& v : variables) {
    if (code.loaded[v.address]) continue;  // a reservation inside the code image is not RAM
    low = std::min<std::uint32_t>(low, v.address);
    high = std::max<std::uint32_t>(high, v.address + v.size);
  }
  if (low < high) image.reservation = ElfReservation{static_cast<std::uint16_t>(low), high - low};
  const DebugInfoSections info = DebugInfo(Unit(image, lines, variables, file));
  image.infoSections.push_back({".debug_info", info.info});
  image.infoSections.push_back({".debug_abbrev", info.abbrev});
  image.infoSections.push_back(
      {".debug_line",
       DebugLineSection(file.parent_path().string(), file.filename().string(), rows, Runs(image))});
  image.infoSections.push_back({".debug_frame", DebugFrameSection(code, lines, FrameRoutines(code, image))});
  image.symbols.push_back({kFrameRegisterSymbol, kFrameRegisterAddress, 2, ElfSymbolType::Object});
  return true;
}

}  // namespace hc11::gdb
