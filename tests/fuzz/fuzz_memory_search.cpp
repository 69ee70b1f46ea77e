// Arbitrary bytes as a "Chercher en mémoire" pattern: parsing never crashes,
// a parsed pattern keeps within its bounds, and a search over a small memory
// finds only true matches, in order, each one again from its own address.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "debugger/memory_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hc11::ParsedMemorySearch parsed = hc11::ParseMemorySearch(text);
  if (!parsed.search) {
    if (parsed.error.empty()) std::abort();
    return 0;
  }
  const hc11::MemorySearch& s = *parsed.search;
  if (s.bytes.empty() || s.bytes.size() > hc11::kMaxPatternBytes || s.any.size() != s.bytes.size())
    std::abort();
  if (s.range && s.range->first > s.range->last) std::abort();
  // A memory made of the input itself, so its own bytes can match.
  std::array<std::uint8_t, 512> memory{};
  for (std::size_t i = 0; i < memory.size() && size > 0; ++i) memory[i] = data[i % size];
  std::uint32_t previous = 0;
  bool first = true;
  for (const std::uint16_t a : hc11::FindAll(memory, s)) {
    if ((!first && a <= previous) || a + s.bytes.size() > memory.size()) std::abort();
    for (std::size_t i = 0; i < s.bytes.size(); ++i)
      if (!s.any[i] && memory[a + i] != s.bytes[i]) std::abort();
    const auto again = hc11::FindFrom(memory, s, a);
    if (!again || again->address != a || again->wrapped) std::abort();
    previous = a;
    first = false;
  }
  return 0;
}
