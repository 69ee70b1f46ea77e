// The execution routines named by the instruction table's rows, and the
// transfer helpers they share with the run engine. A handler reads the
// operand latch the decoder filled and the row's precomputed facts.
#pragma once

#include <cstdint>

#include "core/instruction_table.h"
#include "core/machine.h"

namespace hc11 {

struct RowInfo;
using Handler = void (*)(Machine&, const RowInfo&);

// Condition of a conditional-branch row, worked out once from its mnemonic.
enum class BranchCond : std::uint8_t { None, Cs, Cc, Eq, Ne, Ge, Hi, Lt, Le, Ls };

// What a handler needs to know about its row, computed when the decoder's
// lookup is built so that no text is inspected while running.
struct RowInfo {
  Handler exec = nullptr;
  std::uint8_t index = 0;  // row in InstructionTable
  std::uint8_t regKind = 0;
  BranchCond cond = BranchCond::None;
};

Handler HandlerFor(HandlerId id);

// The shared refusal: "Erreur code ..." as the stop message, beep, stop flag.
void UnsupportedCode(Machine& m, const RowInfo& row);

// PC <- target, bounds check, one more count.
void TransferTo(Machine& m, std::uint16_t target);
// Raises "adr>fin XXXX" when PC is past the loaded code; true when it did.
bool EndOfCodeCheck(Machine& m);
// The periodic interrupt: pushes the full frame and jumps through `vector`.
void InterruptEntry(Machine& m, std::uint16_t vector);

// Loads, stores and transfers.
void ExecLoad(Machine& m, const RowInfo& r);
void ExecLoadD(Machine& m, const RowInfo& r);
void ExecStore8(Machine& m, const RowInfo& r);
void ExecStore16(Machine& m, const RowInfo& r);
void ExecClear(Machine& m, const RowInfo& r);
void ExecTab(Machine& m, const RowInfo& r);
void ExecTba(Machine& m, const RowInfo& r);
void ExecTpa(Machine& m, const RowInfo& r);
void ExecTsx(Machine& m, const RowInfo& r);
void ExecTxs(Machine& m, const RowInfo& r);
void ExecXgdx(Machine& m, const RowInfo& r);
void ExecCli(Machine& m, const RowInfo& r);
void ExecNothing(Machine& m, const RowInfo& r);

// Arithmetic and logic.
void ExecAdd(Machine& m, const RowInfo& r);
void ExecAdc(Machine& m, const RowInfo& r);
void ExecAba(Machine& m, const RowInfo& r);
void ExecSub(Machine& m, const RowInfo& r);
void ExecSbc(Machine& m, const RowInfo& r);
void ExecCompare8(Machine& m, const RowInfo& r);
void ExecCompare16(Machine& m, const RowInfo& r);
void ExecAddD(Machine& m, const RowInfo& r);
void ExecSubD(Machine& m, const RowInfo& r);
void ExecAnd(Machine& m, const RowInfo& r);
void ExecOr(Machine& m, const RowInfo& r);
void ExecEor(Machine& m, const RowInfo& r);
void ExecComA(Machine& m, const RowInfo& r);
void ExecComB(Machine& m, const RowInfo& r);
void ExecTest(Machine& m, const RowInfo& r);
void ExecInc8(Machine& m, const RowInfo& r);
void ExecDec8(Machine& m, const RowInfo& r);
void ExecInx(Machine& m, const RowInfo& r);
void ExecDex(Machine& m, const RowInfo& r);
void ExecIns(Machine& m, const RowInfo& r);
void ExecDes(Machine& m, const RowInfo& r);
void ExecAbx(Machine& m, const RowInfo& r);
void ExecMul(Machine& m, const RowInfo& r);

// Shifts, bit operations and division.
void ExecLsl(Machine& m, const RowInfo& r);
void ExecLsr(Machine& m, const RowInfo& r);
void ExecLslD(Machine& m, const RowInfo& r);
void ExecLsrD(Machine& m, const RowInfo& r);
void ExecBset(Machine& m, const RowInfo& r);
void ExecBclr(Machine& m, const RowInfo& r);
void ExecIdiv(Machine& m, const RowInfo& r);
void ExecFdiv(Machine& m, const RowInfo& r);

// Control flow and stack.
void ExecJump(Machine& m, const RowInfo& r);
void ExecBranch(Machine& m, const RowInfo& r);
void ExecBrset(Machine& m, const RowInfo& r);
void ExecBrclr(Machine& m, const RowInfo& r);
void ExecCall(Machine& m, const RowInfo& r);
void ExecRts(Machine& m, const RowInfo& r);
void ExecRti(Machine& m, const RowInfo& r);
void ExecPush(Machine& m, const RowInfo& r);
void ExecPull(Machine& m, const RowInfo& r);

}  // namespace hc11
