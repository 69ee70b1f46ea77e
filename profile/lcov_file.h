// The coverage of a run as an lcov tracefile whose source file is the
// program's listing: one DA per listing line that holds an instruction,
// numbered as the physical lines of the .lst file (a macro's expansion lines
// each have their own), FN/FNDA per function, BRDA per conditional branch.
// Data lines (db, dw, fill, ds) carry no DA. genhtml renders it as is and
// lcov -a merges several runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_types.h"
#include "profile/profiler.h"

namespace hc11 {

// The address of a listing line that holds an instruction; none for data,
// directives, comments and lines outside the code the listing placed.
std::optional<std::uint16_t> CodeLineAddress(std::string_view line, const TListingMap& placed);

// The tracefile text for the listing `lstPath` (written as given after SF:)
// whose lines are `lstLines`; `memory` tells the branches from other
// instructions.
std::string LcovTracefile(const std::string& lstPath, const std::vector<std::string>& lstLines,
                          const TListingMap& placed, const std::array<std::uint8_t, 65536>& memory,
                          const Profiler& profiler);

// Reads the listing, writes the tracefile whole at `infoPath` with the
// listing's absolute path; false with `error` set when either file fails.
bool WriteLcovFile(const std::string& infoPath, const std::string& lstPath, const Listing& listing,
                   const std::array<std::uint8_t, 65536>& memory, const Profiler& profiler,
                   std::string& error);

}  // namespace hc11
