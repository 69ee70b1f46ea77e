#include "app/cli/cli_elf.h"

#include <memory>

#include "app/cli/cli_output_check.h"
#include "core/file_write.h"
#include "gdbstub/elf_symbols.h"
#include "listing/listing_files.h"

namespace hc11::cli {

std::optional<gdb::LineSource> ParseLineSource(const std::string& text) {
  if (text == "listing") return gdb::LineSource::Listing;
  if (text == "asm") return gdb::LineSource::Assembler;
  return std::nullopt;
}

std::optional<std::string> ElfOutputRefusal(const Session& session, const std::string& output) {
  if (const auto input = InputNamedBy(output, ProgramInputs(session.ListingBase())))
    return OverwriteRefusal(output, *input);
  return std::nullopt;
}

std::optional<ElfWritten> WriteProgramElf(Session& session, const std::string& output, gdb::LineSource source,
                                          std::string& error) {
  if (const auto refusal = ElfOutputRefusal(session, output)) {
    error = *refusal;
    return std::nullopt;
  }
  auto code = std::make_unique<gdb::CodeImage>();
  const std::string hexFile = ProgramImageName(session.ListingBase());
  // The load has already said why the image cannot be read.
  SilentMessages again;
  if (!gdb::ReadCodeImage(hexFile, *code, again)) {
    error = hexFile + ": the code image cannot be read";
    return std::nullopt;
  }
  gdb::ElfImage image = gdb::ProgramElfImage(*code, session.listing(), session.machine().StartPC);
  if (!gdb::AddDebugSections(image, *code, session.listing(), session.ListingBase(), source, error))
    return std::nullopt;
  if (!WriteFileWhole(output, gdb::WriteElf(image), error)) {
    error = output + ": " + error;
    return std::nullopt;
  }
  return ElfWritten{image.sections.size(), image.symbols.size()};
}

}  // namespace hc11::cli
