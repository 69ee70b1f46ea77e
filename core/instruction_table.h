// The fixed instruction table: one row per instruction form the simulator
// knows, in search order. The decoder, the executor and the flowchart's
// pseudo-code rewriting all read these rows; nothing else describes opcodes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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
};

inline constexpr int kInstructionRows = 119;

extern const std::array<Tinstx, kInstructionRows> InstructionTable;

// Names of the registers indexed by RegKind: "A", "B", "X", "Y", "SP", "PC", "CC", "D".
extern const std::array<std::string_view, 8> RegisterNames;

// First-match search in table order, exactly as the table is defined: a row
// matches when its prefix equals `prefix` and (opcode & ~mask) == base.
// Linear; the decoder uses a precomputed lookup instead.
std::optional<int> FindRow(std::uint8_t prefix, std::uint8_t opcode);

}  // namespace hc11
