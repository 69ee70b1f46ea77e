// One sentence of help for each top bar control, the right-pane switch and
// the Options marks, keyed by component name.
#pragma once

#include <string_view>

namespace hc11 {

// Empty for a name that has no tooltip.
std::string_view ToolTipOf(std::string_view component);

}  // namespace hc11
