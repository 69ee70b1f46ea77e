// The board panel as text: the "panel:" lines (display bytes, LEDs, latch,
// port A, synthesiser) and the "memo:" lines, as the command line prints
// them after a run.
#pragma once

#include <string>

#include "board/board.h"

namespace hc11 {

std::string PanelText(const Board& board);

}  // namespace hc11
