// The debugging information of a program's ELF file, from its listing: the
// line table (to the listing file the source pane shows, or to the assembler
// source the listing was made from), the functions with their labels, the
// variables and the call-frame information.
#pragma once

#include <string>

#include "gdbstub/elf_symbols.h"
#include "listing/listing_types.h"

namespace hc11::gdb {

enum class LineSource : std::uint8_t {
  Listing,    // lines of the .lst file
  Assembler,  // lines of the .asm file beside it, as the listing numbers them
};

// The frame register GDB's 68HC11 target looks for among the symbols; its
// two bytes sit at reserved register-block addresses nothing else uses. The
// call chain itself comes from the call-frame information.
inline constexpr const char* kFrameRegisterSymbol = "_.frame";
inline constexpr std::uint16_t kFrameRegisterAddress = 0x103E;

// The assembler source beside a listing: base + ".asm" (or ".ASM", ".s");
// empty when there is none.
std::string AssemblerSourceOf(const std::string& listingBase);

// Adds the .debug_* sections and the frame register's symbol to `image`
// (made by ProgramElfImage from the same code and listing). False, with the
// reason in `error`, when the listing file cannot be read or the assembler
// source was asked for and is not there.
bool AddDebugSections(ElfImage& image, const CodeImage& code, const Listing& listing,
                      const std::string& listingBase, LineSource source, std::string& error);

}  // namespace hc11::gdb
