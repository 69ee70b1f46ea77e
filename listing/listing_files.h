// Names of a program's listing-side files and whole-file reading.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hc11 {

// The program's base path: `path` without a final ".lst" (any case); any
// other name is already a base and comes back unchanged.
std::string ListingBaseOf(std::string_view path);

// The listing file of a program: a path ending in ".lst" (any case) as it is
// written; for a base path, base + ".lst", or base + ".LST" when only that
// one exists.
std::string ListingFileName(std::string_view programName);

// The code image beside a base path: base + ".HEX", or base + ".hex" when
// only that one exists.
std::string ProgramImageName(std::string_view base);

// base + "_Fonct.txt" (prog.lst and prog both give prog_Fonct.txt).
std::string FonctFileName(std::string_view programName);

// The whole content of a regular file; nullopt when it cannot be read, with
// the reason in `reason` when given.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* reason = nullptr);

// What to tell the user when a program's listing could not be read:
// "Manque fichier LST " + `shownName` when it does not exist, otherwise that
// the file cannot be read and why.
std::string ListingProblemText(std::string_view programName, std::string_view shownName);

}  // namespace hc11
