// The tight counting loop the run-loop benchmarks share: loads, an add, a
// store, a decrement and a branch, for ever.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/machine.h"

namespace hc11::bench {

constexpr std::uint16_t kLoopStart = 0xE000;

// E000  C6 00     ldB  #0
// E002  96 10     ldA  $10        <- loop
// E004  8B 01     addA #1
// E006  97 10     stA  $10
// E008  5A        decB
// E009  26 F7     bne  $E002
// E00B  20 F5     jr   $E002
inline void LoadCountingLoop(Machine& m) {
  std::uint16_t a = kLoopStart;
  for (std::uint8_t b : {0xC6, 0x00, 0x96, 0x10, 0x8B, 0x01, 0x97, 0x10, 0x5A, 0x26, 0xF7, 0x20, 0xF5})
    m.Memory[a++] = b;
  m.CodeEnd = a;
  m.StartPC = kLoopStart;
  m.ResetMachine();
}

}  // namespace hc11::bench
