#include "flowchart/view/coverage_display.h"

#include <algorithm>
#include <cmath>

#include "core/text_util.h"
#include "flowchart/view/display_state.h"

namespace hc11 {

namespace {

Colour Mix(Colour a, Colour b, double t) {
  Colour out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= static_cast<Colour>(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

}  // namespace

Colour CoverageFill(std::uint64_t count, std::uint64_t maxCount) {
  if (count == 0) return kNeverRunHatch;
  constexpr Colour kOnce = 0xC0F8FF;  // pale yellow (0xBBGGRR)
  constexpr Colour kMost = 0x1C8CFF;  // deep orange
  if (maxCount <= 1) return kOnce;
  const double t =
      std::log(static_cast<double>(std::min(count, maxCount))) / std::log(static_cast<double>(maxCount));
  return Mix(kOnce, kMost, t);
}

BoxCoverage FlowDisplay::CoverageOfBox(const TRectangle& box) const {
  BoxCoverage out;
  for (const TLigne& line : box.Lignes) {
    const auto first = StrToWord("$" + line.AddrText);
    if (!first) continue;
    const auto last = line.AddrEndText.empty() ? first : StrToWord("$" + line.AddrEndText);
    // A macro call spans its expansion: every address of it counts.
    for (std::uint32_t a = *first; a <= (last ? *last : *first) && a <= 0xFFFF; ++a) {
      const LineCoverage c = CoverageHook(static_cast<std::uint16_t>(a));
      out.count = std::max(out.count, c.count);
      out.cycles += c.cycles;
      if (c.branch && !out.branch) out.branch = c;
    }
  }
  return out;
}

std::string BranchCountsText(const LineCoverage& branch) {
  return std::to_string(branch.taken) + "/" + std::to_string(branch.notTaken);
}

std::string CoverageHint(const BoxCoverage& box) {
  std::string text = "exécutions " + std::to_string(box.count) + ", cycles " + std::to_string(box.cycles);
  if (box.branch)
    text +=
        ", pris " + std::to_string(box.branch->taken) + ", non pris " + std::to_string(box.branch->notTaken);
  return text;
}

}  // namespace hc11
