// The chip's handlers: one function per (row, operand alternative) of the
// instruction table and per mode, generated from the row's fields as the
// designed ones are, but with the chip's operation for the row
// (ChipHandlerOf) and, in the exact mode, the row's E cycles as the step's
// count.
#include <utility>

#include "core/chip_data.h"
#include "core/chip_flow.h"
#include "core/decoder.h"
#include "core/exec_fetch.h"
#include "core/text_util.h"

namespace hc11 {

namespace chip {

void ReportNoWakeUp(Machine& m, std::uint16_t at) {
  m.ReportError(ErrorKind::NoWakeUp, Format("%s %4.4X I=1", m.Halt == CpuHalt::Stop ? "stop" : "wai", at));
}

void IllegalOpcode(Machine& m, std::uint16_t at) {
  if (TakeIllegalOpcodeTrap(m, at)) return;
  m.cpu.PC = at;
  m.ReportError(ErrorKind::IllegalInstruction, Format("%s %x %x ", "err inst ", at, m.Memory[at]));
}

}  // namespace chip

namespace {

using exec::Operands;

template <HandlerId H, std::uint8_t M, std::uint8_t R, BranchCond C, bool X>
void Perform(Machine& m, [[maybe_unused]] const Operands& o) {
  using enum HandlerId;
  // The index register of the transfers; the designed rows name it 0.
  constexpr std::uint8_t kIndex = R == RegY ? RegY : RegX;
  if constexpr (H == ExecLoad || H == ExecLoadD) chip::Load<M, R>(m, o);
  if constexpr (H == ExecStore8 || H == ExecStore16) chip::Store<R>(m, o);
  if constexpr (H == ExecClear) chip::Clear<M, R>(m, o);
  if constexpr (H == ExecTab) exec::Tab(m);
  if constexpr (H == ExecTba) exec::Tba(m);
  if constexpr (H == ExecTpa) m.cpu.A = m.cpu.CC;
  if constexpr (H == ExecTap) chip::Tap(m);
  if constexpr (H == ExecTsx) chip::Set16<kIndex>(m, static_cast<std::uint16_t>(m.cpu.SP + 1));
  if constexpr (H == ExecTxs) m.cpu.SP = static_cast<std::uint16_t>(chip::Get16<kIndex>(m) - 1);
  if constexpr (H == ExecXgdx) {
    const std::uint16_t d = m.GetD();
    m.SetD(chip::Get16<kIndex>(m));
    chip::Set16<kIndex>(m, d);
  }
  if constexpr (H == ExecCli) m.SetFlag(FlagI, false);
  if constexpr (H == ExecSei) m.SetFlag(FlagI, true);
  if constexpr (H == ExecClc) m.SetFlag(FlagC, false);
  if constexpr (H == ExecSec) m.SetFlag(FlagC, true);
  if constexpr (H == ExecClv) m.SetFlag(FlagV, false);
  if constexpr (H == ExecSev) m.SetFlag(FlagV, true);
  if constexpr (H == ExecAdd) chip::AddInto<M, R, false>(m, o);
  if constexpr (H == ExecAdc) chip::AddInto<M, R, true>(m, o);
  if constexpr (H == ExecAba) m.cpu.A = chip::Add8(m, m.cpu.A, m.cpu.B, false);
  if constexpr (H == ExecSba) m.cpu.A = exec::Sub8(m, m.cpu.A, m.cpu.B, false);
  if constexpr (H == ExecCba) exec::Sub8(m, m.cpu.A, m.cpu.B, false);
  if constexpr (H == ExecSub) chip::SubFrom<M, R, false, true>(m, o);
  if constexpr (H == ExecSbc) chip::SubFrom<M, R, true, true>(m, o);
  if constexpr (H == ExecCompare8) chip::SubFrom<M, R, false, false>(m, o);
  if constexpr (H == ExecCompare16) chip::Compare16<M, R>(m, o);
  if constexpr (H == ExecAddD) m.SetD(exec::Add16(m, m.GetD(), chip::Value16<M>(m, o)));
  if constexpr (H == ExecSubD) m.SetD(exec::Sub16(m, m.GetD(), chip::Value16<M>(m, o)));
  if constexpr (H == ExecAnd) chip::Logic<M, R, chip::LogicOp::And>(m, o);
  if constexpr (H == ExecOr) chip::Logic<M, R, chip::LogicOp::Or>(m, o);
  if constexpr (H == ExecEor) chip::Logic<M, R, chip::LogicOp::Eor>(m, o);
  if constexpr (H == ExecBit) chip::Logic<M, R, chip::LogicOp::Bit>(m, o);
  if constexpr (H == ExecCom) chip::Complement<M, R>(m, o);
  if constexpr (H == ExecNeg) chip::Negate<M, R>(m, o);
  if constexpr (H == ExecTest) chip::Test<M, R>(m, o);
  if constexpr (H == ExecInc8) chip::StepByOne<M, R, +1>(m, o);
  if constexpr (H == ExecDec8) chip::StepByOne<M, R, -1>(m, o);
  if constexpr (H == ExecInx || H == ExecDex) {
    const auto v = static_cast<std::uint16_t>(chip::Get16<R>(m) + (H == ExecInx ? 1 : -1));
    chip::Set16<R>(m, v);
    m.SetFlag(FlagZ, v == 0);
  }
  if constexpr (H == ExecIns) ++m.cpu.SP;
  if constexpr (H == ExecDes) --m.cpu.SP;
  if constexpr (H == ExecAbx)
    chip::Set16<kIndex>(m, static_cast<std::uint16_t>(chip::Get16<kIndex>(m) + m.cpu.B));
  if constexpr (H == ExecMul) exec::Mul(m);
  if constexpr (H == ExecIdiv) exec::Idiv(m);
  if constexpr (H == ExecFdiv) exec::Fdiv(m);
  if constexpr (H == ExecLsl) chip::Shift<M, R, chip::ShiftOp::Lsl>(m, o);
  if constexpr (H == ExecLsr) chip::Shift<M, R, chip::ShiftOp::Lsr>(m, o);
  if constexpr (H == ExecAsr) chip::Shift<M, R, chip::ShiftOp::Asr>(m, o);
  if constexpr (H == ExecRol) chip::Shift<M, R, chip::ShiftOp::Rol>(m, o);
  if constexpr (H == ExecRor) chip::Shift<M, R, chip::ShiftOp::Ror>(m, o);
  if constexpr (H == ExecLslD) exec::ShiftD<true>(m);
  if constexpr (H == ExecLsrD) exec::ShiftD<false>(m);
  if constexpr (H == ExecDaa) chip::Daa(m);
  if constexpr (H == ExecBset) chip::ChangeBits<true>(m, o);
  if constexpr (H == ExecBclr) chip::ChangeBits<false>(m, o);
  if constexpr (H == ExecJump) chip::Jump<M, X>(m, o);
  if constexpr (H == ExecBranch) chip::Branch<C, X>(m, o);
  if constexpr (H == ExecBrset) chip::BitBranch<true, X>(m, o);
  if constexpr (H == ExecBrclr) chip::BitBranch<false, X>(m, o);
  if constexpr (H == ExecCall) chip::Call<M, X>(m, o);
  if constexpr (H == ExecRts) chip::Rts<X>(m);
  if constexpr (H == ExecRti) chip::Rti<X>(m);
  if constexpr (H == ExecPush) chip::Push<R>(m);
  if constexpr (H == ExecPull) chip::Pull<R>(m);
}

template <int Row, std::size_t Alt, bool X>
void ChipRowHandler(Machine& m, std::uint16_t pc) {
  constexpr const Tinstx& row = InstructionTable[Row];
  constexpr OperandKind kind = KindFor(row, Alt);
  constexpr HandlerId h = ChipHandlerOf(row);
  constexpr std::int64_t cycles = CyclesOf(row, Alt);
  const Operands o = exec::Fetch<kind>(m, pc);
  using enum HandlerId;
  if constexpr (h == ExecWai) {
    chip::Wai<X>(m, pc, cycles);
  } else if constexpr (h == ExecStop) {
    chip::Stop<X>(m, pc, cycles);
  } else if constexpr (h == ExecIllegal) {
    chip::IllegalOpcode(m, pc);
  } else {
    if constexpr (h == ExecSwi) {
      chip::Swi<X>(m, RowInfo{static_cast<std::uint8_t>(Row)});
    } else {
      Perform<h, AddrModeOf(kind), row.regKind, ConditionOf(row.mnemonic), X>(m, o);
    }
    // Nothing in an exact instruction counts time, and its accesses see the
    // cycle it began on; the step adds the last one.
    if constexpr (X) m.CycleCount += cycles - 1;
    // A waiting interrupt may be taken before the next instruction.
    if constexpr (X && (h == ExecCli || h == ExecTap || h == ExecRti || row.regKind == RegCC))
      m.ChipAttentionChanged();
  }
}

template <int Row, std::size_t Alt, bool X>
constexpr StepFn ChipHandler() {
  constexpr const Tinstx& row = InstructionTable[Row];
  constexpr std::size_t alts = row.mask == 0 ? 1 : static_cast<std::size_t>(row.mask >> 4) + 1;
  // The designed mode runs its own handlers for the designed rows.
  if constexpr (Alt >= alts || !ChipHasSlot(row, Alt) || (!X && IsDesignedRow(Row))) {
    return nullptr;
  } else {
    static_assert(CyclesOf(row, Alt) != 0, "every instruction of the chip has its cycles");
    return &ChipRowHandler<Row, Alt, X>;
  }
}

template <bool X, std::size_t... Rows>
constexpr auto MakeChipHandlers(std::index_sequence<Rows...>) {
  return std::array<std::array<StepFn, 4>, sizeof...(Rows)>{
      {{ChipHandler<Rows, 0, X>(), ChipHandler<Rows, 1, X>(), ChipHandler<Rows, 2, X>(),
        ChipHandler<Rows, 3, X>()}...}};
}

constexpr auto kDesignedModeHandlers = MakeChipHandlers<false>(std::make_index_sequence<kInstructionRows>{});
constexpr auto kExactHandlers = MakeChipHandlers<true>(std::make_index_sequence<kInstructionRows>{});

}  // namespace

StepFn ChipRowStep(int row, std::size_t alt, bool exact) {
  if (alt >= 4) return nullptr;
  const auto r = static_cast<std::size_t>(row);
  return exact ? kExactHandlers[r][alt] : kDesignedModeHandlers[r][alt];
}

}  // namespace hc11
