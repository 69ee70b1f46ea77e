// What the flowchart shows of the coverage counts when the "Couverture" mark
// is on: the tint of a statement box by how often it ran, the taken/not-taken
// counts of a decision and the hint of a box. Qt-free; the painter asks the
// display's hook for each line's counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "flowchart/sheet.h"

namespace hc11 {

struct LineCoverage {
  std::uint64_t count = 0;   // instructions started at the line's address
  std::uint64_t cycles = 0;  // their cycles
  bool branch = false;       // a conditional branch: taken/notTaken hold its ways
  std::uint64_t taken = 0;
  std::uint64_t notTaken = 0;
};

// A box's lines summed: its largest count, its cycles and its branch.
struct BoxCoverage {
  std::uint64_t count = 0;
  std::uint64_t cycles = 0;
  std::optional<LineCoverage> branch;
};

// Box fill for a run count on a log scale up to `maxCount` (pale yellow for
// once to deep orange for the most); never run: kNeverRunHatch, drawn as a
// hatch over a grey ground.
inline constexpr Colour kNeverRunHatch = 0x909090;
inline constexpr Colour kNeverRunText = 0xD8D8D8;  // the ground, behind a never-run box's text
Colour CoverageFill(std::uint64_t count, std::uint64_t maxCount);

// "12/0": taken, then not taken.
std::string BranchCountsText(const LineCoverage& branch);

// "exécutions 12, cycles 30" (and "pris 9, non pris 3" for a decision).
std::string CoverageHint(const BoxCoverage& box);

}  // namespace hc11
