#include "dap/source_map.h"

#include <algorithm>
#include <filesystem>

#include "gdbstub/elf_debug.h"
#include "listing/listing_files.h"

namespace hc11::dap {

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  return ec ? path : p.string();
}

void SourceMap::Load(const std::string& listingBase, const TConstantList& constants) {
  *this = SourceMap();
  listingPath_ = AbsolutePath(ListingFileName(listingBase));
  const std::string asmFile = gdb::AssemblerSourceOf(listingBase);
  if (!asmFile.empty()) asmPath_ = AbsolutePath(asmFile);
  const auto text = ReadWholeFile(listingPath_);
  if (!text) return;
  for (const gdb::ListedLine& l : gdb::ReadListedLines(*text)) {
    if (l.data) continue;
    code_.push_back(l);
    listingLines_.emplace(l.listingLine, l.address);
    if (l.sourceLine != 0) asmLines_.emplace(l.sourceLine, l.address);
  }
  std::stable_sort(code_.begin(), code_.end(),
                   [](const gdb::ListedLine& a, const gdb::ListedLine& b) { return a.address < b.address; });
  code_.erase(
      std::unique(code_.begin(), code_.end(),
                  [](const gdb::ListedLine& a, const gdb::ListedLine& b) { return a.address == b.address; }),
      code_.end());
  variables_ = gdb::ReadListedVariables(*text, constants);
}

std::optional<SourceFile> SourceMap::FileOf(const std::string& path) const {
  const std::string p = AbsolutePath(path);
  if (!listingPath_.empty() && p == listingPath_) return SourceFile::Listing;
  if (!asmPath_.empty() && p == asmPath_) return SourceFile::Assembler;
  return std::nullopt;
}

std::optional<std::uint16_t> SourceMap::AddressOf(SourceFile f, std::uint32_t line) const {
  const auto& lines = f == SourceFile::Listing ? listingLines_ : asmLines_;
  const auto it = lines.find(line);
  if (it == lines.end()) return std::nullopt;
  return it->second;
}

std::optional<std::uint32_t> SourceMap::LineOf(SourceFile f, std::uint16_t address) const {
  auto it = std::upper_bound(code_.begin(), code_.end(), address,
                             [](std::uint16_t a, const gdb::ListedLine& l) { return a < l.address; });
  if (it == code_.begin()) return std::nullopt;
  --it;
  const std::uint32_t line = f == SourceFile::Listing ? it->listingLine : it->sourceLine;
  if (line == 0) return std::nullopt;
  return line;
}

}  // namespace hc11::dap
