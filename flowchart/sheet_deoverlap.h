// Moving apart the boxes of a laid-out sheet that lie on top of each other.
#pragma once

#include "flowchart/sheet.h"

namespace hc11 {

// Free space kept around a subtree that had to move.
inline constexpr int kClearGap = 12;
// A subtree moves right only while it stays within this width; beyond it,
// it moves down instead.
inline constexpr int kClearMaxRight = 4096;

// Runs after the placement passes, before routing. Each box placed at an
// offset from its parent (kind 'r'), with everything that hangs from it,
// forms a subtree. Taken in reading order (top to bottom, then left to
// right, a subtree only after the one it hangs in), a subtree that meets a
// box already settled moves as a whole right, or down when right would
// leave kClearMaxRight, by the least distance that frees it; the boxes that
// hang in the flow, and subtrees holding a box the user placed, stay. The
// moves are kept in DecalX/DecalY, so Place reproduces them, and the sheet
// grows to hold them. A sheet without overlaps is left exactly as it is.
void ClearOverlaps(Flowchart& sheet);

}  // namespace hc11
