#include "gdbstub/dwarf_line.h"

#include <algorithm>

#include "gdbstub/dwarf_bytes.h"

namespace hc11::gdb {

namespace {

constexpr std::uint8_t kOpcodeBase = 13;
constexpr std::uint8_t kCopy = 1, kAdvancePc = 2, kAdvanceLine = 3, kSetPrologueEnd = 10;
constexpr std::uint8_t kEndSequence = 1, kSetAddress = 2;

void Extended(ByteWriter& w, std::uint8_t op, std::initializer_list<std::uint8_t> operands) {
  w.U8(0);
  w.Uleb(1 + operands.size());
  w.U8(op);
  for (const std::uint8_t b : operands) w.U8(b);
}

}  // namespace

std::string DebugLineSection(const std::string& directory, const std::string& file, std::vector<LineRow> rows,
                             const std::vector<AddressRun>& runs) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const LineRow& a, const LineRow& b) { return a.address < b.address; });
  rows.erase(std::unique(rows.begin(), rows.end(),
                         [](const LineRow& a, const LineRow& b) { return a.address == b.address; }),
             rows.end());

  ByteWriter w;
  w.U32(0);  // unit length, patched below
  w.U16(3);  // version
  const std::size_t headerLengthAt = w.size();
  w.U32(0);
  const std::size_t headerStart = w.size();
  w.U8(1);                              // minimum instruction length
  w.U8(1);                              // default is_stmt
  w.U8(static_cast<std::uint8_t>(-5));  // line base
  w.U8(14);                             // line range
  w.U8(kOpcodeBase);
  for (const std::uint8_t n : {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1}) w.U8(n);
  w.Str(directory);
  w.U8(0);
  w.Str(file);
  w.Uleb(1);  // in the first directory
  w.Uleb(0);
  w.Uleb(0);
  w.U8(0);
  w.Patch32(headerLengthAt, static_cast<std::uint32_t>(w.size() - headerStart));

  for (const AddressRun& run : runs) {
    bool started = false;
    std::uint32_t address = run.start;
    std::int64_t line = 1;
    for (const LineRow& row : rows) {
      if (row.address < run.start || row.address >= run.end) continue;
      if (!started) {
        Extended(w, kSetAddress,
                 {static_cast<std::uint8_t>(row.address >> 8), static_cast<std::uint8_t>(row.address)});
        address = row.address;
        started = true;
      }
      if (row.address != address) {
        w.U8(kAdvancePc);
        w.Uleb(row.address - address);
        address = row.address;
      }
      if (row.line != line) {
        w.U8(kAdvanceLine);
        w.Sleb(static_cast<std::int64_t>(row.line) - line);
        line = row.line;
      }
      // A breakpoint on a function goes on its first instruction: there is no
      // prologue to step over.
      if (row.entry) w.U8(kSetPrologueEnd);
      w.U8(kCopy);
    }
    if (!started) continue;
    w.U8(kAdvancePc);
    w.Uleb(run.end - address);
    Extended(w, kEndSequence, {});
  }
  w.Patch32(0, static_cast<std::uint32_t>(w.size() - 4));
  return w.bytes();
}

}  // namespace hc11::gdb
