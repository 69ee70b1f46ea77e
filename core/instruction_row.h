// One row of the instruction table: the names and enumerations every row
// uses. The rows themselves are in instruction_rows_*.h.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace hc11 {

enum class HandlerId : std::uint8_t {
  ExecUnsupported,
  ExecIdiv,
  ExecFdiv,
  ExecCli,
  ExecDec8,
  ExecDex,
  ExecTab,
  ExecLoad,
  ExecLoadD,
  ExecStore16,
  ExecNothing,
  ExecCall,
  ExecJump,
  ExecBranch,
  ExecBrset,
  ExecBrclr,
  ExecClear,
  ExecMul,
  ExecComA,
  ExecComB,
  ExecAbx,
  ExecTest,
  ExecPush,
  ExecPull,
  ExecInc8,
  ExecInx,
  ExecIns,
  ExecDes,
  ExecBclr,
  ExecBset,
  ExecCompare8,
  ExecCompare16,
  ExecRts,
  ExecRti,
  ExecTba,
  ExecTpa,
  ExecTsx,
  ExecTxs,
  ExecLsr,
  ExecLsl,
  ExecLsrD,
  ExecLslD,
  ExecAba,
  ExecOr,
  ExecAnd,
  ExecEor,
  ExecAdd,
  ExecAddD,
  ExecAdc,
  ExecSub,
  ExecSubD,
  ExecSbc,
  ExecXgdx,
  ExecStore8,
  // Rows the design does not have; they behave as the chip does.
  ExecNop,
  ExecTap,
  ExecClv,
  ExecSev,
  ExecClc,
  ExecSec,
  ExecSei,
  ExecSba,
  ExecCba,
  ExecDaa,
  ExecNeg,
  ExecCom,
  ExecRol,
  ExecRor,
  ExecAsr,
  ExecBit,
  ExecSwi,
  ExecWai,
  ExecStop,
  ExecIllegal,
  Count
};

// Register index used by the rows and handlers.
enum RegKind : std::uint8_t {
  RegA = 0,
  RegB = 1,
  RegX = 2,
  RegY = 3,
  RegSP = 4,
  RegPC = 5,
  RegCC = 6,
  RegD = 7
};

struct Tinstx {
  std::string_view mnemonic;
  std::string_view pattern;  // OperandPattern
  std::uint8_t prefix;
  std::uint8_t base;
  std::uint8_t mask;
  std::string_view pseudoCode;
  bool condBranch;
  std::string_view flowCode;  // at most 3 characters
  std::uint8_t regKind;
  HandlerId handler;
  // E-clock cycles of the chip, by operand alternative (the masked bits as an
  // index; [0] for a row without mask bits), prefix byte included; 0 for a
  // slot that is no instruction of the chip.
  std::array<std::uint8_t, 4> cycles;
};

}  // namespace hc11
