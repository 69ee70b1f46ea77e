// The ELF file's debugging information from arbitrary listing text and code
// bytes: the listing's lines and variables, the frame walk over whatever the
// bytes decode to, and the sections built from them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "gdbstub/dwarf_frame.h"
#include "gdbstub/dwarf_line.h"
#include "gdbstub/listing_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = hc11::gdb::ReadListedLines(text);
  const hc11::TConstantList constants{{"RXMAX", {"", "24"}}, {"BIG", {"", "$FFFF"}}};
  (void)hc11::gdb::ReadListedVariables(text, constants);

  // The same bytes as the code image from $E000, ending in the vectors.
  static const auto code = std::make_unique<hc11::gdb::CodeImage>();
  code->loaded.reset();
  for (std::size_t i = 0; i < size && 0xE000 + i < 0x10000; ++i) {
    code->bytes[0xE000 + i] = data[i];
    code->loaded[0xE000 + i] = true;
  }
  std::vector<hc11::gdb::LineRow> rows;
  for (const auto& l : lines) rows.push_back({l.address, l.listingLine, l.address % 7 == 0});
  const std::uint32_t end = 0xE000 + static_cast<std::uint32_t>(std::min<std::size_t>(size, 0x2000));
  (void)hc11::gdb::DebugLineSection("/d", "f.lst", rows, {{0xE000, end}});
  const hc11::gdb::FrameRoutine routine{0xE000, end, hc11::gdb::FrameKind::Call};
  const auto states = hc11::gdb::WalkRoutine(*code, lines, routine);
  for (const auto& s : states)
    if (s.address < routine.start || s.address >= routine.end) __builtin_trap();
  (void)hc11::gdb::DebugFrameSection(*code, lines, {routine});
  return 0;
}
