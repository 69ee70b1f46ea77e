// "Afficher source": the listing's excerpt of the function on the sheet, from
// the first line at its lowest address through the line at its highest one,
// at most the listing reader's 21 lines.
#pragma once

#include <string>
#include <vector>

#include "flowchart/sheet.h"

namespace hc11 {

// Empty when the sheet has no address or the listing cannot be read;
// `listingBase` is the program's path without extension.
std::vector<std::string> FunctionSourceLines(const std::string& listingBase, const Flowchart& sheet);

}  // namespace hc11
