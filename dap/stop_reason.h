// How a stop is told to the client: the reason of the "stopped" event for
// each way a command ends, in one table.
#pragma once

#include "core/stop_event.h"

namespace hc11::dap {

// "step", "breakpoint", "data breakpoint", "pause", "exception"; nullptr for
// StopCause::None (no command ran: no event).
const char* StopReason(StopCause cause);

}  // namespace hc11::dap
