// A file the command line names for output must not be one the command
// reads: writing the coverage over the listing or the ELF file over the code
// image would destroy the program.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hc11::cli {

struct InputFile {
  std::string path;
  const char* what;  // "the listing", "the code image", ...
};

// The input that `output` names (the same file through any name or link),
// if any; an output that does not exist yet is none of them.
std::optional<InputFile> InputNamedBy(const std::string& output, const std::vector<InputFile>& inputs);

// The files a program's load reads beside its base path: the listing, the
// code image and the function list.
std::vector<InputFile> ProgramInputs(const std::string& listingBase);

// "'OUT' is WHAT, an input of the command: not overwritten".
std::string OverwriteRefusal(const std::string& output, const InputFile& input);

}  // namespace hc11::cli
