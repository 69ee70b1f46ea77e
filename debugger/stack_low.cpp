#include "debugger/stack_low.h"

#include "core/text_util.h"
#include "listing/symbols.h"

namespace hc11 {

std::string StackLowText(const Machine& m, const Listing& listing) {
  const StackDepth& d = m.StackLow;
  if (!d.Reached()) return {};
  std::string function = FunctionOfAddress(listing.LabelList, d.LowPC());
  if (function.empty()) function = "err fonct";
  return Format("%4.4x %s", d.LowSP(), function.c_str());
}

std::string StackLowHeader(const Machine& m, const Listing& listing) {
  const StackDepth& d = m.StackLow;
  std::string header = "SP min: ";
  header += d.Reached() ? StackLowText(m, listing) + Format(" (pc %4.4x)", d.LowPC()) : std::string("-");
  if (d.WarnBelow() != 0) header += Format("  Pile basse: %4.4x", d.WarnBelow());
  return header;
}

}  // namespace hc11
