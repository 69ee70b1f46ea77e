// Arbitrary bytes as a workspace file: the reader must stop cleanly at any
// fault, and what it read must encode and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "debugger/workspace_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const hc11::WorkspaceRead read =
      hc11::DecodeWorkspace(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string again = hc11::EncodeWorkspace(read.workspace.breaks, read.workspace.watches);
  const hc11::WorkspaceRead back = hc11::DecodeWorkspace(again);
  if (!back.error.empty() || back.workspace.breaks.size() != read.workspace.breaks.size() ||
      back.workspace.watches.size() != read.workspace.watches.size())
    std::abort();
  return 0;
}
