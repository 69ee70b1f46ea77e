// The ELF file of an opened program, as `elf` writes it and `gdbserver
// --elf` writes it beside the program: code, symbols and debugging
// information.
#pragma once

#include <optional>
#include <string>

#include "debugger/session.h"
#include "gdbstub/elf_debug.h"

namespace hc11::cli {

// "listing" or "asm" (the --source option); nullopt for anything else.
std::optional<gdb::LineSource> ParseLineSource(const std::string& text);

struct ElfWritten {
  std::size_t sections = 0, symbols = 0;
};

// Why `output` must not be written: it names one of the program's own files.
std::optional<std::string> ElfOutputRefusal(const Session& session, const std::string& output);

// Writes the file whole; nullopt with the reason in `error` when the output
// is refused (above), the image or listing cannot be read, or the file
// cannot be written.
std::optional<ElfWritten> WriteProgramElf(Session& session, const std::string& output, gdb::LineSource source,
                                          std::string& error);

}  // namespace hc11::cli
