// The per-program workspace file (ListingBase + ".Zan"): a header, the
// breakpoint records and the watch records, as tagged values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/breakpoints.h"
#include "debugger/watches.h"

namespace hc11 {

struct Workspace {
  std::vector<Tbreak> breaks;
  std::vector<TSurv> watches;  // status 'm', line "xxx"
};

struct WorkspaceRead {
  Workspace workspace;  // every record read before an error
  std::string error;    // "octet N: ..." when the reading stopped early
  // What was read but looks wrong: unknown breakpoint states or kinds, bytes
  // after the last watch. The records are kept as they are.
  std::vector<std::string> notes;
};

std::string EncodeWorkspace(const std::vector<Tbreak>& breaks, const std::vector<TSurv>& watches);
WorkspaceRead DecodeWorkspace(std::string_view bytes);

// Tagged values, exposed for the tests of their byte forms.
void PutInteger(std::string& out, std::int32_t v);
void PutText(std::string& out, std::string_view text);

}  // namespace hc11
