// Shared by the handler families: the operands an instruction fetched, the
// accepted-modes table, register access by RegKind and the condition-code
// rules. Everything a handler needs to know about its row (addressing mode,
// register, condition) is a template argument, resolved when the step table
// is built, so a handler never inspects the row while running.
#pragma once

#include <cstdint>

#include "core/handlers.h"
#include "core/instruction_table.h"
#include "core/machine.h"

namespace hc11::exec {

// The latch's AddrMode values.
enum Mode : std::uint8_t {
  kInherent = 0,
  kImm8 = 1,
  kImm16 = 2,
  kAddress = 3,  // direct or extended
  kRelative = 4,
  kIndexed = 5
};

// What the operand bytes of one instruction gave.
struct Operands {
  std::uint16_t ea = 0;  // direct, extended or indexed address
  std::uint16_t imm16 = 0;
  std::uint16_t target = 0;  // branch target
  std::uint8_t imm8 = 0;
  std::uint8_t mask = 0;
};

constexpr bool IsMemoryMode(std::uint8_t mode) {
  return mode == kAddress || mode == kIndexed;
}

constexpr std::uint8_t Bits(std::initializer_list<std::uint8_t> modes) {
  std::uint8_t bits = 0;
  for (std::uint8_t mode : modes) bits = static_cast<std::uint8_t>(bits | 1u << mode);
  return bits;
}

// The modes each handler accepts (every other mode is refused with "Erreur
// code"), then the registers and conditions it refuses whatever the mode.
constexpr bool Accepts(HandlerId h, std::uint8_t mode, std::uint8_t reg, BranchCond cond) {
  std::uint8_t modes = 0;
  switch (h) {
    case HandlerId::ExecLoad:
      if (reg == RegA || reg == RegB) modes = Bits({kImm8, kAddress, kIndexed});
      if (reg == RegX) modes = Bits({kImm16, kAddress, kIndexed});
      if (reg == RegY || reg == RegSP) modes = Bits({kImm16});
      break;
    case HandlerId::ExecLoadD:
    case HandlerId::ExecAddD:
    case HandlerId::ExecSubD:
      modes = Bits({kImm16, kAddress, kIndexed});
      break;
    case HandlerId::ExecStore8:
    case HandlerId::ExecBset:
    case HandlerId::ExecBclr:
    case HandlerId::ExecBrset:
    case HandlerId::ExecBrclr:
      modes = Bits({kAddress, kIndexed});
      break;
    case HandlerId::ExecStore16:
      if (reg == RegX || reg == RegY || reg == RegD) modes = Bits({kAddress, kIndexed});
      break;
    case HandlerId::ExecClear:
    case HandlerId::ExecInc8:
    case HandlerId::ExecDec8:
      modes = Bits({kInherent, kAddress, kIndexed});
      break;
    case HandlerId::ExecInx:
      if (reg == RegX || reg == RegY) modes = Bits({kInherent});
      break;
    case HandlerId::ExecDex:
      if (reg == RegX) modes = Bits({kInherent});
      break;
    case HandlerId::ExecPush:
    case HandlerId::ExecPull:
      if (reg == RegA || reg == RegB || reg == RegX) modes = Bits({kInherent});
      break;
    case HandlerId::ExecAdd:
    case HandlerId::ExecAdc:
    case HandlerId::ExecCompare8:
    case HandlerId::ExecOr:
      modes = Bits({kImm8, kAddress, kIndexed});
      break;
    case HandlerId::ExecSub:
    case HandlerId::ExecSbc:
    case HandlerId::ExecAnd:
    case HandlerId::ExecEor:
      modes = Bits({kImm8, kAddress});
      break;
    case HandlerId::ExecCompare16:
      if (reg == RegX || reg == RegD) modes = Bits({kImm16, kAddress});
      break;
    case HandlerId::ExecLsl:
    case HandlerId::ExecLsr:
      modes = Bits({kInherent, kAddress});
      break;
    case HandlerId::ExecJump:
      modes = Bits({kAddress, kRelative});
      break;
    case HandlerId::ExecBranch:
      if (cond != BranchCond::None) modes = Bits({kRelative});
      break;
    case HandlerId::ExecCall:
      modes = Bits({kAddress, kRelative, kIndexed});
      break;
    case HandlerId::ExecNothing:
      modes = 0xFF;
      break;
    case HandlerId::ExecUnsupported:
    case HandlerId::Count:
      break;
    default:  // the inherent-only handlers
      modes = Bits({kInherent});
      break;
  }
  return (modes >> mode & 1) != 0;
}

// How a handler reaches its memory operand: through the hooks (devices,
// forbidden tags) or straight to Memory.
enum class Via : std::uint8_t { Hooked, Direct };

template <Via V>
std::uint8_t Read8(Machine& m, std::uint16_t a) {
  if constexpr (V == Via::Hooked) {
    return m.MemRead8(a);
  } else {
    m.NoteRead(a);
    return m.Memory[a];
  }
}

// The 8-bit operand of the immediate, address and indexed modes.
template <std::uint8_t M, Via Address, Via Indexed>
std::uint8_t Operand8(Machine& m, const Operands& o) {
  if constexpr (M == kImm8) {
    return o.imm8;
  } else if constexpr (M == kAddress) {
    return Read8<Address>(m, o.ea);
  } else {
    static_assert(M == kIndexed);
    return Read8<Indexed>(m, o.ea);
  }
}

// The 16-bit operand of the immediate and hooked address/indexed modes.
template <std::uint8_t M>
std::uint16_t Operand16Hooked(Machine& m, const Operands& o) {
  if constexpr (M == kImm16) {
    return o.imm16;
  } else {
    static_assert(IsMemoryMode(M));
    return m.MemRead16(o.ea);
  }
}

// Byte access through the register table; a byte operation on a 16-bit
// register acts on its low byte (D, which has no table entry, is treated as B).
template <std::uint8_t R>
std::uint8_t GetReg8(const Machine& m) {
  if constexpr (R == RegA) return m.cpu.A;
  if constexpr (R == RegX) return static_cast<std::uint8_t>(m.cpu.X);
  if constexpr (R == RegY) return static_cast<std::uint8_t>(m.cpu.Y);
  if constexpr (R == RegSP) return static_cast<std::uint8_t>(m.cpu.SP);
  if constexpr (R == RegPC) return static_cast<std::uint8_t>(m.cpu.PC);
  if constexpr (R == RegCC) return m.cpu.CC;
  if constexpr (R == RegB || R == RegD) return m.cpu.B;
}

inline void SetLow(std::uint16_t& reg, std::uint8_t v) {
  reg = static_cast<std::uint16_t>((reg & 0xFF00) | v);
}

template <std::uint8_t R>
void SetReg8(Machine& m, std::uint8_t v) {
  if constexpr (R == RegA) m.cpu.A = v;
  if constexpr (R == RegX) SetLow(m.cpu.X, v);
  if constexpr (R == RegY) SetLow(m.cpu.Y, v);
  if constexpr (R == RegSP) SetLow(m.cpu.SP, v);
  if constexpr (R == RegPC) SetLow(m.cpu.PC, v);
  if constexpr (R == RegCC) m.cpu.CC = v;
  if constexpr (R == RegB || R == RegD) m.cpu.B = v;
}

constexpr std::uint8_t kNZVC = FlagN | FlagZ | FlagV | FlagC;

// Flags from truth values, assembled with shifts so that no branch is taken.
inline void SetNZVC(Machine& m, bool n, bool z, bool v, bool c) {
  m.cpu.CC = static_cast<std::uint8_t>((m.cpu.CC & ~kNZVC) | unsigned{n} << 3 | unsigned{z} << 2 |
                                       unsigned{v} << 1 | unsigned{c});
}

// N, Z, V and C of a result; the carry or borrow is bit 8 (16) of the
// unsigned sum or difference, V the sign rule of the add or subtract rule.
inline void SetArithFlags(Machine& m, unsigned n, bool z, unsigned v, unsigned c) {
  SetNZVC(m, n != 0, z, v != 0, c != 0);
}

// r = a + b + carry, with the add rule on bit 7.
inline std::uint8_t Add8(Machine& m, std::uint8_t a, std::uint8_t b, bool carry) {
  const unsigned sum = unsigned{a} + b + (carry ? 1u : 0u);
  const auto r = static_cast<std::uint8_t>(sum);
  SetArithFlags(m, r & 0x80, r == 0, (a ^ r) & (b ^ r) & 0x80, sum & 0x100);
  return r;
}

// r = a - b - borrow, with the subtract rule on bit 7.
inline std::uint8_t Sub8(Machine& m, std::uint8_t a, std::uint8_t b, bool borrow) {
  const unsigned diff = unsigned{a} - b - (borrow ? 1u : 0u);
  const auto r = static_cast<std::uint8_t>(diff);
  SetArithFlags(m, r & 0x80, r == 0, (a ^ b) & (a ^ r) & 0x80, diff & 0x100);
  return r;
}

inline std::uint16_t Add16(Machine& m, std::uint16_t a, std::uint16_t b) {
  const unsigned sum = unsigned{a} + b;
  const auto r = static_cast<std::uint16_t>(sum);
  SetArithFlags(m, r & 0x8000, r == 0, (a ^ r) & (b ^ r) & 0x8000, sum & 0x10000);
  return r;
}

inline std::uint16_t Sub16(Machine& m, std::uint16_t a, std::uint16_t b) {
  const auto r = static_cast<std::uint16_t>(a - b);
  SetArithFlags(m, r & 0x8000, r == 0, (a ^ b) & (a ^ r) & 0x8000, a < b);
  return r;
}

}  // namespace hc11::exec
