// Names of a program's listing-side files and whole-file reading.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hc11 {

// The program's base path: `path` without a final ".lst" (any case); any
// other name is already a base and comes back unchanged.
std::string ListingBaseOf(std::string_view path);

// base + ".lst"; accepts the base or the listing path itself.
std::string ListingFileName(std::string_view programName);

// base + "_Fonct.txt" (prog.lst and prog both give prog_Fonct.txt).
std::string FonctFileName(std::string_view programName);

// The whole content of a regular file; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace hc11
