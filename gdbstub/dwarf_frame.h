// Call-frame information (.debug_frame) that follows each routine's stack
// use, so a debugger finds the return address of every frame: calls push two
// bytes, the interrupt entry nine (every register); pushes, pulls, "des" and
// "ins" move the frame. Where the walk cannot follow the stack (a "txs" or
// "tys", a computed jump, paths that disagree, code the walk never reaches)
// the return address is marked undefined, so the chain ends there rather than
// showing a wrong caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdbstub/elf_symbols.h"
#include "gdbstub/listing_lines.h"

namespace hc11::gdb {

enum class FrameKind : std::uint8_t {
  Call,       // entered by a call: the return address on top
  Interrupt,  // an interrupt vector's target: the processor's nine bytes on top
  Outermost,  // the reset entry: no caller
};

struct FrameRoutine {
  std::uint16_t start = 0;
  std::uint32_t end = 0;  // one past its last byte
  FrameKind kind = FrameKind::Call;
};

// The stack state before the instruction at an address: bytes the routine
// has pushed since its entry, or nullopt where the walk lost track.
struct FrameState {
  std::uint16_t address = 0;
  std::optional<int> depth;
};

// The states at each instruction start of the routine, ascending.
std::vector<FrameState> WalkRoutine(const CodeImage& code, const std::vector<ListedLine>& lines,
                                    const FrameRoutine& routine);

// The routines of an ELF image: its functions, each an interrupt handler
// when a vector other than reset names it, the outermost frame when it is the
// entry or the reset target.
std::vector<FrameRoutine> FrameRoutines(const CodeImage& code, const ElfImage& image);

std::string DebugFrameSection(const CodeImage& code, const std::vector<ListedLine>& lines,
                              const std::vector<FrameRoutine>& routines);

}  // namespace hc11::gdb
