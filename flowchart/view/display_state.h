// What the flowchart view shows beside the sheet itself: the selected and
// program-counter lines, the line under the pointer, the comment switches and
// the breakpoint colours. One object per view; the sheet keeps the state the
// layout needs (HighlightBox, ShowLocalLabels, GrabX/GrabY, SheetOverflow).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "flowchart/sheet.h"
#include "flowchart/view/coverage_display.h"

namespace hc11 {

// Address text that matches no line: the selection after each sheet build.
inline constexpr const char* kNoSelection = "xaxcax";

struct FlowDisplay {
  std::string SelAddrText = kNoSelection;  // line chosen by the user (teal)
  std::string PCAddrText;                  // line of the program counter (navy)
  int HitLineIndex = -1;                   // line of the box under the pointer
  std::string FollowName;                  // callee of the call line under the pointer
  bool ShowComments = true;                // comment-only lines and comment columns
  bool CommentPass = true;                 // the next paint draws the comment columns
  // Colour of the tab left of a line at that address (its breakpoint state);
  // white, or no hook at all, means no tab.
  std::function<Colour(std::uint16_t)> LineColorHook;
  // The counts of the instruction at an address while the "Couverture" mark
  // is on; no hook: boxes are drawn without coverage.
  std::function<LineCoverage(std::uint16_t)> CoverageHook;
  std::uint64_t CoverageMax = 1;  // the largest count, for the tint's scale

  // A box's counts through CoverageHook (which must be set).
  BoxCoverage CoverageOfBox(const TRectangle& box) const;

  // Sets both comment switches, as the window's "Aff Commentaires" option does.
  void SetShowComments(bool show) { ShowComments = CommentPass = show; }
  // A new sheet was built: no line is selected until ShowAddress picks one.
  // The program-counter line stays.
  void SheetBuilt() { SelAddrText = kNoSelection; }
};

}  // namespace hc11
