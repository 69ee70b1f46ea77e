// Lines and addresses both ways, for the listing file and for the assembler
// source beside it (as the listing numbers that source): breakpoints on a
// line, the line of a stack frame, the instructions to disassemble.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gdbstub/listing_lines.h"
#include "listing/listing_types.h"

namespace hc11::dap {

enum class SourceFile : std::uint8_t { Listing, Assembler };

struct SourceLine {
  SourceFile file = SourceFile::Listing;
  std::uint32_t line = 0;  // 1-based
};

class SourceMap {
 public:
  // Reads the listing file of `listingBase` (and notes the assembler source
  // beside it); an unreadable listing leaves the map empty.
  void Load(const std::string& listingBase, const TConstantList& constants);
  const std::string& ListingPath() const { return listingPath_; }
  const std::string& AssemblerPath() const { return asmPath_; }
  // The file a client path names (compared as absolute paths); nullopt for
  // any other file.
  std::optional<SourceFile> FileOf(const std::string& path) const;
  const std::string& PathOf(SourceFile f) const { return f == SourceFile::Listing ? listingPath_ : asmPath_; }
  // The first instruction assembled from `line`; nullopt for a line without code.
  std::optional<std::uint16_t> AddressOf(SourceFile f, std::uint32_t line) const;
  // The line of the instruction that starts at `address`, or of the last
  // instruction before it; nullopt before the first one.
  std::optional<std::uint32_t> LineOf(SourceFile f, std::uint16_t address) const;
  // Instruction starts in address order.
  const std::vector<gdb::ListedLine>& Instructions() const { return code_; }
  // Variables reserved by the listing.
  const std::vector<gdb::ListedVariable>& Variables() const { return variables_; }

 private:
  std::string listingPath_, asmPath_;
  std::vector<gdb::ListedLine> code_;
  std::map<std::uint32_t, std::uint16_t> listingLines_, asmLines_;
  std::vector<gdb::ListedVariable> variables_;
};

// The canonical form paths are compared in.
std::string AbsolutePath(const std::string& path);

}  // namespace hc11::dap
