#include "app/cli/cli_output_check.h"

#include <sys/stat.h>

#include "core/message_text.h"
#include "listing/listing_files.h"

namespace hc11::cli {

std::optional<InputFile> InputNamedBy(const std::string& output, const std::vector<InputFile>& inputs) {
  struct stat out {};
  if (output.empty() || ::stat(output.c_str(), &out) != 0) return std::nullopt;
  for (const InputFile& input : inputs) {
    struct stat in {};
    if (input.path.empty() || ::stat(input.path.c_str(), &in) != 0) continue;
    if (in.st_dev == out.st_dev && in.st_ino == out.st_ino) return input;
  }
  return std::nullopt;
}

std::vector<InputFile> ProgramInputs(const std::string& listingBase) {
  if (listingBase.empty()) return {};
  return {{ListingFileName(listingBase), "the listing"},
          {ProgramImageName(listingBase), "the code image"},
          {FonctFileName(listingBase), "the function list"}};
}

std::string OverwriteRefusal(const std::string& output, const InputFile& input) {
  return "'" + QuoteText(output) + "' is " + input.what + ", an input of the command: not overwritten";
}

}  // namespace hc11::cli
