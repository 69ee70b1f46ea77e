// Keyboard and mouse gestures on the flowchart and the source text that are
// not menu commands: the breakpoint tab left of a box, moving the selected
// line with the arrow keys, and the breakpoint toggle of a margin click.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "debugger/breakpoints.h"
#include "flowchart/sheet.h"

namespace hc11 {

// The tab area of a line: the 15 units left of its box, one line high. The
// tab is painted on through the label column, but a click inside the box
// keeps selecting the line. The address of the line whose tab holds (x, y), in
// sheet units; nullopt elsewhere and on lines without an address.
std::optional<std::uint16_t> TabAddressAt(const Flowchart& sheet, int x, int y);

// The next (`step` 1) or previous (-1) line with an address after the line
// at `from`, in listing order over the whole sheet; the first line of the
// sheet when nothing is selected. nullopt at either end.
std::optional<std::uint16_t> NeighbourLine(const Flowchart& sheet, std::optional<std::uint16_t> from,
                                           int step);

// The statement of the line at `address` on the sheet, if it is a call line.
std::optional<std::string> CallLineAt(const Flowchart& sheet, std::uint16_t address);

// A margin or tab click: removes the code breakpoint at `address` when the
// list has one there, otherwise adds a "Break" entry the way "Break Edit"
// does (named after the nearest label). Returns true when one is now set,
// false when it was removed, nullopt when nothing could change (a RAM
// breakpoint entry at that address).
std::optional<bool> ToggleBreakpoint(BreakpointList& breaks, Machine& m, std::uint16_t address,
                                     const TListSyn& lines);

}  // namespace hc11
