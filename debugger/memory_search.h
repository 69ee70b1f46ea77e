// "Chercher en mémoire": a byte pattern typed as hexadecimal bytes, "??" for
// any byte, quoted texts and ".w" words, looked for in a memory image, whole
// or within an address range. The dump window and `run --find` share it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hc11 {

// Longest pattern accepted: a search stays quick over the whole memory.
inline constexpr std::size_t kMaxPatternBytes = 256;

struct AddressRange {
  std::uint32_t first = 0;
  std::uint32_t last = 0xFFFF;  // inclusive
};

struct MemorySearch {
  std::vector<std::uint8_t> bytes;
  std::vector<bool> any;              // true where the pattern has "??"
  std::optional<AddressRange> range;  // none: the whole memory
};

struct ParsedMemorySearch {
  std::optional<MemorySearch> search;
  std::string error;  // one line, set when search is empty
};

// The pattern's items, separated by blanks or commas:
//   86, $86, 0x86, CE1000   hexadecimal bytes (an even run of digits is several)
//   ?? or ?                 any byte
//   "MENU"                  the text's bytes (\" and \\ inside; Latin-1 letters)
//   .w $1234                a word, high byte first as the processor stores it
// and, last, an optional range "@START-END" (or "@START": up to the end).
ParsedMemorySearch ParseMemorySearch(std::string_view text);

// "START-END" or "START" (hexadecimal, "$" or "0x" allowed); an empty text
// is no range. False with `error` for anything else.
bool ParseAddressRange(std::string_view text, std::optional<AddressRange>& range, std::string& error);

// Every address where the whole pattern lies within the range and the memory,
// in increasing order; matches may overlap.
std::vector<std::uint16_t> FindAll(std::span<const std::uint8_t> memory, const MemorySearch& search);

struct FoundAt {
  std::uint16_t address = 0;
  bool wrapped = false;  // none was left after `from`: the first one of the range
};

// The first match at or after `from`, else the first of the range.
std::optional<FoundAt> FindFrom(std::span<const std::uint8_t> memory, const MemorySearch& search,
                                std::uint32_t from);

}  // namespace hc11
