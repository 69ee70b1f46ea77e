// hc11flow-cli elf: the program's code image and labels as an ELF file for
// GDB (`file prog.elf`, then `target remote`).
#include <memory>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_output_check.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_session.h"
#include "core/file_write.h"
#include "core/messages.h"
#include "debugger/session.h"
#include "gdbstub/elf_symbols.h"
#include "listing/listing_files.h"

namespace hc11::cli {

namespace {

int WriteElfFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string program, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        err << "hc11flow-cli elf: -o: expected a file name, got ''\n";
        return kExitUsage;
      }
      output = args[++i];
    } else if (!args[i].starts_with("-") && program.empty()) {
      program = args[i];
    } else {
      err << "hc11flow-cli elf: unexpected argument '" << args[i] << "'\n";
      return kExitUsage;
    }
  }
  if (program.empty() || output.empty()) {
    err << "hc11flow-cli elf: usage: hc11flow-cli elf PROGRAM -o FILE\n";
    return kExitUsage;
  }
  CliRunHost host(out);
  CliMessages messages(err);
  auto session = std::make_unique<Session>(host, messages);
  session->SetUseWorkspace(false);
  if (!OpenProgram(*session, program, false, err)) return kExitUsage;
  if (const auto input = InputNamedBy(output, ProgramInputs(session->ListingBase()))) {
    err << "hc11flow-cli elf: -o: " << OverwriteRefusal(output, *input) << '\n';
    return kExitUsage;
  }
  auto code = std::make_unique<gdb::CodeImage>();
  const std::string hexFile = ProgramImageName(session->ListingBase());
  // The load has already said why the image cannot be read.
  SilentMessages again;
  if (!gdb::ReadCodeImage(hexFile, *code, again)) {
    err << "hc11flow-cli elf: " << hexFile << ": the code image cannot be read\n";
    return 1;
  }
  const gdb::ElfImage image = gdb::ProgramElfImage(*code, session->listing(), session->machine().StartPC);
  std::string error;
  if (!WriteFileWhole(output, gdb::WriteElf(image), error)) {
    err << "hc11flow-cli elf: " << output << ": " << error << '\n';
    return 1;
  }
  out << output << ": " << image.sections.size() << " section(s), " << image.symbols.size() << " symbol(s)\n";
  return 0;
}

const bool kRegistered = RegisterCommand({"elf", "PROGRAM -o FILE", WriteElfFile});

}  // namespace

}  // namespace hc11::cli
