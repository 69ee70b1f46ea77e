// "Afficher source": the listing lines of the function on the sheet, from the
// first line at its lowest address through the line at its highest one.
#pragma once

#include <string>
#include <vector>

#include "flowchart/sheet.h"

namespace hc11 {

inline constexpr std::size_t kSourceLinesMax = 400;  // the label would outgrow the screen

// Empty when the sheet has no address or the file cannot be read.
std::vector<std::string> FunctionSourceLines(const std::string& listingFile, const Flowchart& sheet);

}  // namespace hc11
