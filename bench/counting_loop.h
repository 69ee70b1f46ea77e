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

// The same loop with the register accesses a firmware polls: the serial
// status, an A/D result and a new conversion started each time round, with
// the converter powered. Both modes run the same instructions.
// E000  CE 10 00  ldX  #$1000
// E003  86 80     ldA  #$80
// E005  A7 39     stA  OPTION,X
// E007  C6 00     ldB  #0
// E009  96 10     ldA  $10        <- loop
// E00B  8B 01     addA #1
// E00D  97 10     stA  $10
// E00F  A6 2E     ldA  SCSR,X
// E011  A6 31     ldA  ADR1,X
// E013  A7 30     stA  ADCTL,X
// E015  5A        decB
// E016  26 F1     bne  $E009
// E018  20 EF     jr   $E009
inline void LoadPollingLoop(Machine& m) {
  std::uint16_t a = kLoopStart;
  for (std::uint8_t b : {0xCE, 0x10, 0x00, 0x86, 0x80, 0xA7, 0x39, 0xC6, 0x00, 0x96, 0x10, 0x8B, 0x01,
                         0x97, 0x10, 0xA6, 0x2E, 0xA6, 0x31, 0xA7, 0x30, 0x5A, 0x26, 0xF1, 0x20, 0xEF})
    m.Memory[a++] = b;
  m.CodeEnd = a;
  m.StartPC = kLoopStart;
  m.ResetMachine();
}

}  // namespace hc11::bench
