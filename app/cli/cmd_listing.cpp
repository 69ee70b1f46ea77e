// hc11flow-cli lines / symbols / functions PROGRAM: what the listing loader
// reads from a program, one tab-separated record per line.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_messages.h"
#include "core/messages.h"
#include "core/text_util.h"
#include "listing/function_list.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"

namespace hc11::cli {
namespace {

// PROGRAM as written: a listing keeps the case of its extension.
std::optional<std::string> ProgramArgument(const char* command, const std::vector<std::string>& args,
                                           std::ostream& err) {
  if (args.size() != 1) {
    err << "usage: hc11flow-cli " << command << " PROGRAM\n";
    return std::nullopt;
  }
  return args[0];
}

int MissingListing(const std::string& program, std::ostream& err) {
  err << ListingProblemText(program, ListingBaseOf(program)) << '\n';
  return kExitUsage;
}

// Reads the listing without writing the function-list file beside it.
std::optional<Listing> ReadOnly(const std::string& program, bool readSymbols, std::ostream& err) {
  Listing listing;
  std::uint16_t startPC = 0;
  CliMessages messages(err);
  if (!ReadListing(listing, program, startPC, messages, readSymbols)) return std::nullopt;
  return listing;
}

int RunLines(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto program = ProgramArgument("lines", args, err);
  if (!program) return kExitUsage;
  const auto listing = ReadOnly(*program, false, err);
  if (!listing) return MissingListing(*program, err);
  for (const TSynElem& e : listing->LineList) {
    out << FieldText(e.AddrText) << '\t' << FieldText(e.AddrEndText) << '\t' << FieldText(e.Label) << '\t'
        << FieldText(e.Text) << '\t' << FieldText(e.Target) << '\t' << FieldText(e.Comment) << '\t'
        << Format("%2.2x\t%2.2x", static_cast<unsigned>(e.Op1), static_cast<unsigned>(e.Op2)) << '\n';
  }
  return 0;
}

int RunSymbols(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto program = ProgramArgument("symbols", args, err);
  if (!program) return kExitUsage;
  const auto listing = ReadOnly(*program, true, err);
  if (!listing) return MissingListing(*program, err);
  for (const auto& item : listing->Symbols.ListSymbI) out << item.text << '\n';
  return 0;
}

// Loads as the window does, so the program's "_Fonct.txt" is rewritten; the
// list is printed even when that file cannot be written (status 1 then).
int RunFunctions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto program = ProgramArgument("functions", args, err);
  if (!program) return kExitUsage;
  Listing listing;
  std::uint16_t startPC = 0;
  CliMessages messages(err);
  if (!ReadListing(listing, *program, startPC, messages, false)) return MissingListing(*program, err);
  for (const auto& [name, elem] : listing.FunctionList.entries)
    out << name << '\t' << Format("%4.4x", static_cast<unsigned>(elem.Adresse)) << '\n';
  return SaveFonctFile(listing.FunctionList, *program, messages) ? 0 : 1;
}

const bool kRegistered = RegisterCommand({"lines", "PROGRAM", RunLines}) &&
                         RegisterCommand({"symbols", "PROGRAM", RunSymbols}) &&
                         RegisterCommand({"functions", "PROGRAM", RunFunctions});

}  // namespace
}  // namespace hc11::cli
