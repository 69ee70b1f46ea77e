// hc11flow-cli elf: the program's code image, labels and debugging
// information as an ELF file for GDB (`file prog.elf`, then `target remote`).
#include <memory>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_elf.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_session.h"
#include "core/messages.h"
#include "debugger/session.h"

namespace hc11::cli {

namespace {

int WriteElfFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string program, output;
  gdb::LineSource source = gdb::LineSource::Listing;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" || args[i] == "--source") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        err << "hc11flow-cli elf: " << args[i] << ": expected "
            << (args[i] == "-o" ? "a file name" : "listing or asm") << ", got ''\n";
        return kExitUsage;
      }
      const std::string& value = args[++i];
      if (args[i - 1] == "-o") {
        output = value;
      } else if (const auto s = ParseLineSource(value)) {
        source = *s;
      } else {
        err << "hc11flow-cli elf: --source: expected listing or asm, got '" << value << "'\n";
        return kExitUsage;
      }
    } else if (!args[i].starts_with("-") && program.empty()) {
      program = args[i];
    } else {
      err << "hc11flow-cli elf: unexpected argument '" << args[i] << "'\n";
      return kExitUsage;
    }
  }
  if (program.empty() || output.empty()) {
    err << "hc11flow-cli elf: usage: hc11flow-cli elf PROGRAM -o FILE [--source listing|asm]\n";
    return kExitUsage;
  }
  CliRunHost host(out);
  CliMessages messages(err);
  auto session = std::make_unique<Session>(host, messages);
  session->SetUseWorkspace(false);
  if (!OpenProgram(*session, program, false, err)) return kExitUsage;
  if (const auto refusal = ElfOutputRefusal(*session, output)) {
    err << "hc11flow-cli elf: -o: " << *refusal << '\n';
    return kExitUsage;
  }
  std::string error;
  const auto written = WriteProgramElf(*session, output, source, error);
  if (!written) {
    err << "hc11flow-cli elf: " << error << '\n';
    return 1;
  }
  out << output << ": " << written->sections << " section(s), " << written->symbols << " symbol(s)\n";
  return 0;
}

const bool kRegistered = RegisterCommand({"elf", "PROGRAM -o FILE [--source listing|asm]", WriteElfFile});

}  // namespace

}  // namespace hc11::cli
