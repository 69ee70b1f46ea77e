// The processor status line and the step-history listing. Event lines are
// Machine::EventTrace; all of them end in Machine::AppendTraceLine.
#pragma once

#include <string>

#include "core/machine.h"

namespace hc11 {

// "PC=%4X CC=%2.2X X=%4.4x A=%2.2x B=%2.2x Sp=%4.4x %s cycle=%lld T=%8.3fms %s ".
std::string FormatTraceLine(const Machine& m);

// Takes the current count as the new zero and shows the trace line again.
void ResetStopwatch(Machine& m);

// Appends the recorded steps, oldest first, to the trace list and shows it.
void ListHistory(Machine& m);

}  // namespace hc11
