// What the stack view, the register prompt and the dump window show, as
// lines the window lists and the CLI prints.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"
#include "listing/listing_types.h"

namespace hc11 {

// The stack from StackTop down to SP: data bytes "      %4.4x [%2.2x] %s",
// return addresses "%4.4x %4.4x %s %s" (address, stack position, function,
// listing text or "nil"), "err fonct" when no function holds the address.
std::vector<std::string> StackLines(const Machine& m, const Listing& listing);

// Rebuilds only when StackChanged is set, clearing it; true when `lines` was
// rewritten.
bool RebuildStackView(Machine& m, const Listing& listing, std::vector<std::string>& lines);

// The register table of the prompt and the hints: A, B, X, Y, SP, PC, CC.
inline constexpr std::array<const char*, 7> kRegisterNames = {"A", "B", "X", "Y", "SP", "PC", "CC"};
std::optional<std::uint16_t> RegisterValue(const Machine& m, std::string_view name);
// "%s=$%s=%d": the prompt text; its default answer is the hex digits.
std::string RegisterPromptText(const Machine& m, std::string_view name);
std::string RegisterPromptDefault(const Machine& m, std::string_view name);

// The dump window's memory choices, indexed by ChoixDump.
inline constexpr std::array<const char*, 3> kDumpChoices = {"Ram", "Eprom16kb", "Horloge"};
// Sixteen lines from `start` in the chosen memory: "%4.4x  ", then " %2.2X"
// per readable byte and " c" per byte as a character (255 as one blank,
// control characters as "."). A
// line whose first byte cannot be read holds the address alone.
std::vector<std::string> DumpLines(std::uint16_t start, int choice,
                                   const std::array<std::uint8_t, 65536>& ram, const std::uint8_t* eeprom,
                                   std::size_t eepromSize);

}  // namespace hc11
