// What the handler families share with the decoder and the run engine: the
// row facts worked out once from the table, the refusal and the transfer
// helpers. The handlers themselves are templates in the exec_*.h files.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/instruction_table.h"
#include "core/machine.h"

namespace hc11 {

// Condition of a conditional-branch row, worked out from its mnemonic.
enum class BranchCond : std::uint8_t { None, Cs, Cc, Eq, Ne, Ge, Hi, Lt, Le, Ls, Never, Vc, Vs, Pl, Mi, Gt };

constexpr BranchCond ConditionOf(std::string_view mnemonic) {
  struct Named {
    std::string_view name;
    BranchCond cond;
  };
  constexpr Named kConditions[] = {
      {"bcs", BranchCond::Cs}, {"bcc", BranchCond::Cc},    {"beq", BranchCond::Eq}, {"bne", BranchCond::Ne},
      {"bge", BranchCond::Ge}, {"bhi", BranchCond::Hi},    {"blt", BranchCond::Lt}, {"ble", BranchCond::Le},
      {"bls", BranchCond::Ls}, {"brn", BranchCond::Never}, {"bvc", BranchCond::Vc}, {"bvs", BranchCond::Vs},
      {"bpl", BranchCond::Pl}, {"bmi", BranchCond::Mi},    {"bgt", BranchCond::Gt},
  };
  for (const Named& n : kConditions)
    if (n.name == mnemonic) return n.cond;
  return BranchCond::None;
}

// What the refusal needs to know about a row.
struct RowInfo {
  std::uint8_t index = 0;  // row in InstructionTable
};

// The shared refusal: "Erreur code ..." as the stop message, beep, stop flag.
void UnsupportedCode(Machine& m, const RowInfo& row);

// Raises "adr>fin XXXX" when PC is past the loaded code; true when it did.
bool EndOfCodeCheck(Machine& m);

// PC <- target, bounds check, one more count.
inline void TransferTo(Machine& m, std::uint16_t target) {
  m.cpu.PC = target;
  if (target > m.CodeEnd) [[unlikely]]
    EndOfCodeCheck(m);
  ++m.CycleCount;
}

// Every interrupt's entry (today's periodic interrupt, the on-chip sources):
// pushes the full frame and jumps through `vector`. A processor waiting
// after WAI has stacked its frame already and only wakes; one stopped by
// STOP wakes and stacks the address after it.
void InterruptEntry(Machine& m, std::uint16_t vector);
// The 9-byte frame every interrupt, SWI and WAI stacks: PC, Y, X, A, B, CC.
void PushFrame(Machine& m);

// The SWI and illegal-opcode vectors, and whether the program defines one
// (a non-zero word, as the HEX leaves every vector it does not fill at 0).
inline constexpr std::uint16_t kSwiVector = 0xFFF6;
inline constexpr std::uint16_t kIllegalOpcodeVector = 0xFFF8;
std::uint16_t VectorAt(const Machine& m, std::uint16_t address);

// An opcode the chip does not have at `at` (its first byte, prefix
// included): through the illegal-opcode vector when the program defines it,
// true then; false leaves the stop to the caller.
bool TakeIllegalOpcodeTrap(Machine& m, std::uint16_t at);

// Whether an interrupt could still end a WAI or STOP: none can with I set.
inline bool CanWake(const Machine& m) {
  return !m.TestFlag(FlagI);
}

}  // namespace hc11
