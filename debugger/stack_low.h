// The stack's low-water mark as the stack view's header and `run` show it.
#pragma once

#include <string>

#include "core/machine.h"
#include "listing/listing_types.h"

namespace hc11 {

// "%4.4x FUNCTION": the lowest SP since Init and the function holding the PC
// that reached it ("err fonct" when no function holds it); empty before the
// first step.
std::string StackLowText(const Machine& m, const Listing& listing);

// The stack view's header: "SP min: " and the text above, with the PC and,
// when set, the "Pile basse" address.
std::string StackLowHeader(const Machine& m, const Listing& listing);

}  // namespace hc11
