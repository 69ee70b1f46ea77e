// The code-breakpoint state byte (Machine::tInst, Tbreak::BreakState) and the
// run-mode letters of the run commands: one place for the numbers every room
// tests.
#pragma once

#include <cstdint>

namespace hc11 {

inline constexpr std::uint8_t kBreakNone = 0;
inline constexpr std::uint8_t kBreakInactive = 1;  // "inactif"
inline constexpr std::uint8_t kBreakStop = 2;      // "Break"
inline constexpr std::uint8_t kBreakTrace = 3;     // "Trace"
static_assert((kBreakTrace & 0xFE) == kBreakStop, "one masked test finds both breakpoint states");

// True for the two states the run loop acts on.
constexpr bool BreakActs(std::uint8_t state) {
  return (state & 0xFE) == kBreakStop;
}

// Run-mode letters (Machine::RunMode).
inline constexpr char16_t kModeRun = u'x';       // "Exécuter" (F9)
inline constexpr char16_t kModeStep = u'v';      // "Pas a Pas détaillé" (F7)
inline constexpr char16_t kModeStepOver = u'w';  // "Pas à Pas Spr" (F8)
inline constexpr char16_t kModeRunTo = u's';     // "continuer jusqu'a", "Jusqu'au curseur"
inline constexpr char16_t kModeCallReturned = u't';
inline constexpr char16_t kModeReturnUp = u'u';  // "Remonter du SP"
inline constexpr char16_t kModeStop = u'q';      // "Arret" (F2)

}  // namespace hc11
