// Assembles a source file and writes the listing and the HEX image beside
// each other: OUTBASE.lst and OUTBASE.HEX.
#pragma once

#include <ostream>
#include <string>

namespace hc11::lstgen {

// Diagnostics go to `messages` as "SOURCE:LINE: error: text". Nothing is
// written when the source has errors; each file is written whole (a
// temporary file renamed into place). Returns true when both files exist.
bool GenerateFiles(const std::string& sourcePath, const std::string& outBase, std::ostream& messages);

}  // namespace hc11::lstgen
