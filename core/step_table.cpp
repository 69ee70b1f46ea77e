// The specialised handlers: one function per (row, operand alternative) of the
// instruction table, generated from the row's fields at compile time, with the
// operand layout, the register and the branch condition fixed. A form the
// handler refuses gets no function; the decoder reports it instead.
#include <utility>

#include "core/decoder.h"
#include "core/exec_arith.h"
#include "core/exec_fetch.h"
#include "core/exec_flow.h"
#include "core/exec_shift_bit.h"
#include "core/exec_transfer.h"

namespace hc11 {

namespace {

using namespace exec;

// The handler families, by the row's handler.
template <HandlerId H, std::uint8_t M, std::uint8_t R, BranchCond C>
void Perform(Machine& m, [[maybe_unused]] const Operands& o) {
  using enum HandlerId;
  if constexpr (H == ExecLoad) Load<M, R>(m, o);
  if constexpr (H == ExecLoadD) LoadD<M>(m, o);
  if constexpr (H == ExecStore8) Store8<R>(m, o);
  if constexpr (H == ExecStore16) Store16<R>(m, o);
  if constexpr (H == ExecClear) Clear<M, R>(m, o);
  if constexpr (H == ExecTab) Tab(m);
  if constexpr (H == ExecTba) Tba(m);
  if constexpr (H == ExecTpa) m.cpu.A = m.cpu.CC;
  if constexpr (H == ExecTsx) m.cpu.X = static_cast<std::uint16_t>(m.cpu.SP + 1);
  if constexpr (H == ExecTxs) m.cpu.SP = static_cast<std::uint16_t>(m.cpu.X - 1);
  if constexpr (H == ExecXgdx) Xgdx(m);
  if constexpr (H == ExecCli) m.SetFlag(FlagI, false);
  // ExecNothing: "di" is decoded and deliberately does nothing.
  if constexpr (H == ExecAdd) AddInto<M, R, false>(m, o);
  if constexpr (H == ExecAdc) AddInto<M, R, true>(m, o);
  if constexpr (H == ExecAba) m.cpu.A = Add8(m, m.cpu.A, m.cpu.B, false);
  if constexpr (H == ExecSub) SubFrom<M, R, false>(m, o);
  if constexpr (H == ExecSbc) SubFrom<M, R, true>(m, o);
  if constexpr (H == ExecCompare8) Compare8<M, R>(m, o);
  if constexpr (H == ExecCompare16) Compare16<M, R>(m, o);
  if constexpr (H == ExecAddD) AddD<M>(m, o);
  if constexpr (H == ExecSubD) SubD<M>(m, o);
  if constexpr (H == ExecAnd) Logic<M, R, LogicOp::And>(m, o);
  if constexpr (H == ExecOr) Logic<M, R, LogicOp::Or>(m, o);
  if constexpr (H == ExecEor) Logic<M, R, LogicOp::Eor>(m, o);
  if constexpr (H == ExecComA) Complement(m, m.cpu.A);
  if constexpr (H == ExecComB) Complement(m, m.cpu.B);
  if constexpr (H == ExecTest) Test<R>(m);
  if constexpr (H == ExecInc8) StepByOne<M, R, +1>(m, o);
  if constexpr (H == ExecDec8) StepByOne<M, R, -1>(m, o);
  if constexpr (H == ExecInx) Inc16(m, R == RegX ? m.cpu.X : m.cpu.Y);
  if constexpr (H == ExecDex) Dex(m);
  if constexpr (H == ExecIns) ++m.cpu.SP;
  if constexpr (H == ExecDes) --m.cpu.SP;
  if constexpr (H == ExecAbx) m.cpu.X = static_cast<std::uint16_t>(m.cpu.X + m.cpu.B);
  if constexpr (H == ExecMul) Mul(m);
  if constexpr (H == ExecLsl) Shift8<M, R, true>(m, o);
  if constexpr (H == ExecLsr) Shift8<M, R, false>(m, o);
  if constexpr (H == ExecLslD) ShiftD<true>(m);
  if constexpr (H == ExecLsrD) ShiftD<false>(m);
  if constexpr (H == ExecBset) ChangeBits<true>(m, o);
  if constexpr (H == ExecBclr) ChangeBits<false>(m, o);
  if constexpr (H == ExecIdiv) Idiv(m);
  if constexpr (H == ExecFdiv) Fdiv(m);
  if constexpr (H == ExecJump) Jump<M>(m, o);
  if constexpr (H == ExecBranch) Branch<C>(m, o);
  if constexpr (H == ExecBrset) BitBranch<true>(m, o);
  if constexpr (H == ExecBrclr) BitBranch<false>(m, o);
  if constexpr (H == ExecCall) Call<M>(m, o);
  if constexpr (H == ExecRts) Rts(m);
  if constexpr (H == ExecRti) Rti(m);
  if constexpr (H == ExecPush) Push<R>(m);
  if constexpr (H == ExecPull) Pull<R>(m);
}

template <int Row, std::size_t Alt>
void RowHandler(Machine& m, std::uint16_t pc) {
  constexpr const Tinstx& row = InstructionTable[Row];
  constexpr OperandKind kind = KindFor(row, Alt);
  const Operands o = Fetch<kind>(m, pc);
  Perform<row.handler, AddrModeOf(kind), row.regKind, ConditionOf(row.mnemonic)>(m, o);
}

constexpr std::size_t AltCount(const Tinstx& row) {
  return row.mask == 0 ? 1 : static_cast<std::size_t>(row.mask >> 4) + 1;
}

template <int Row, std::size_t Alt>
constexpr StepFn HandlerOf() {
  constexpr const Tinstx& row = InstructionTable[Row];
  if constexpr (Alt >= AltCount(row)) {
    return nullptr;
  } else {
    constexpr OperandKind kind = KindFor(row, Alt);
    static_assert(kind != OperandKind::Stay, "every masked row lists all its alternatives");
    if constexpr (!Accepts(row.handler, AddrModeOf(kind), row.regKind, ConditionOf(row.mnemonic))) {
      return nullptr;
    } else {
      return &RowHandler<Row, Alt>;
    }
  }
}

template <std::size_t... Rows>
constexpr auto MakeRowHandlers(std::index_sequence<Rows...>) {
  return std::array<std::array<StepFn, 4>, sizeof...(Rows)>{
      {{HandlerOf<Rows, 0>(), HandlerOf<Rows, 1>(), HandlerOf<Rows, 2>(), HandlerOf<Rows, 3>()}...}};
}

// The designed rows only: the chip's rows run as the chip does in both modes.
constexpr auto kRowHandlers = MakeRowHandlers(std::make_index_sequence<kDesignedRowCount>{});

}  // namespace

StepFn RowStep(int row, std::size_t alt) {
  if (!IsDesignedRow(row)) return ChipRowStep(row, alt, false);
  return alt < 4 ? kRowHandlers[static_cast<std::size_t>(row)][alt] : nullptr;
}

}  // namespace hc11
