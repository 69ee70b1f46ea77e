// Small helpers shared by the handler files: addressing modes, register
// access by RegKind and the condition-code rules.
#pragma once

#include <cstdint>

#include "core/handlers.h"
#include "core/instruction_table.h"
#include "core/machine.h"

namespace hc11::exec {

enum Mode : std::uint8_t {
  kInherent = 0,
  kImm8 = 1,
  kImm16 = 2,
  kAddress = 3,  // direct or extended
  kRelative = 4,
  kIndexed = 5
};

inline bool IsMemoryMode(std::uint8_t mode) {
  return mode == kAddress || mode == kIndexed;
}

// The operand address of the direct/extended and indexed modes.
inline std::uint16_t EffectiveAddress(const OperandLatch& l) {
  return l.AddrMode == kIndexed ? l.indexedAddress : l.address;
}

// Which memory path a mode uses for the 8-bit second operand.
enum class Via : std::uint8_t { Refused, Hooked, Direct };

// Fetches the 8-bit operand of the immediate (always accepted), address and
// indexed modes; false when the mode is refused.
inline bool Operand8(Machine& m, Via address, Via indexed, std::uint8_t& out) {
  const OperandLatch& l = m.latch;
  Via via;
  switch (l.AddrMode) {
    case kImm8:
      out = l.imm8;
      return true;
    case kAddress:
      via = address;
      break;
    case kIndexed:
      via = indexed;
      break;
    default:
      return false;
  }
  if (via == Via::Refused) return false;
  const std::uint16_t a = EffectiveAddress(l);
  if (via == Via::Hooked) {
    out = m.MemRead8(a);
  } else {
    m.NoteRead(a);
    out = m.Memory[a];
  }
  return true;
}

// The 16-bit operand of the immediate and hooked address/indexed modes.
inline bool Operand16Hooked(Machine& m, std::uint16_t& out) {
  const OperandLatch& l = m.latch;
  if (l.AddrMode == kImm16) {
    out = l.imm16;
    return true;
  }
  if (!IsMemoryMode(l.AddrMode)) return false;
  out = m.MemRead16(EffectiveAddress(l));
  return true;
}

// Byte access through the register table; a byte operation on a 16-bit
// register acts on its low byte (D, which has no table entry, is treated as B).
inline std::uint8_t GetReg8(const Machine& m, std::uint8_t kind) {
  switch (kind) {
    case RegA:
      return m.cpu.A;
    case RegX:
      return static_cast<std::uint8_t>(m.cpu.X);
    case RegY:
      return static_cast<std::uint8_t>(m.cpu.Y);
    case RegSP:
      return static_cast<std::uint8_t>(m.cpu.SP);
    case RegPC:
      return static_cast<std::uint8_t>(m.cpu.PC);
    case RegCC:
      return m.cpu.CC;
    default:
      return m.cpu.B;
  }
}

inline void SetLow(std::uint16_t& reg, std::uint8_t v) {
  reg = static_cast<std::uint16_t>((reg & 0xFF00) | v);
}

inline void SetReg8(Machine& m, std::uint8_t kind, std::uint8_t v) {
  switch (kind) {
    case RegA:
      m.cpu.A = v;
      break;
    case RegX:
      SetLow(m.cpu.X, v);
      break;
    case RegY:
      SetLow(m.cpu.Y, v);
      break;
    case RegSP:
      SetLow(m.cpu.SP, v);
      break;
    case RegPC:
      SetLow(m.cpu.PC, v);
      break;
    case RegCC:
      m.cpu.CC = v;
      break;
    default:
      m.cpu.B = v;
      break;
  }
}

constexpr std::uint8_t kNZVC = FlagN | FlagZ | FlagV | FlagC;

inline void SetNZVC(Machine& m, bool n, bool z, bool v, bool c) {
  m.cpu.CC = static_cast<std::uint8_t>((m.cpu.CC & ~kNZVC) | (n ? FlagN : 0) | (z ? FlagZ : 0) |
                                       (v ? FlagV : 0) | (c ? FlagC : 0));
}

// r = a + b + carry, with the add rule on bit 7.
inline std::uint8_t Add8(Machine& m, std::uint8_t a, std::uint8_t b, bool carry) {
  const auto r = static_cast<std::uint8_t>(a + b + (carry ? 1 : 0));
  const unsigned v = (a & b & ~r) | (~a & ~b & r);
  const unsigned c = (a & b) | (b & ~r) | (~r & a);
  SetNZVC(m, r & 0x80, r == 0, v & 0x80, c & 0x80);
  return r;
}

// r = a - b - borrow, with the subtract rule on bit 7.
inline std::uint8_t Sub8(Machine& m, std::uint8_t a, std::uint8_t b, bool borrow) {
  const auto r = static_cast<std::uint8_t>(a - b - (borrow ? 1 : 0));
  const unsigned v = (a & ~b & ~r) | (~a & b & r);
  const unsigned c = (~a & b) | (b & r) | (r & ~a);
  SetNZVC(m, r & 0x80, r == 0, v & 0x80, c & 0x80);
  return r;
}

inline std::uint16_t Add16(Machine& m, std::uint16_t a, std::uint16_t b) {
  const auto r = static_cast<std::uint16_t>(a + b);
  const unsigned v = (a & b & ~r) | (~a & ~b & r);
  const unsigned c = (a & b) | (b & ~r) | (~r & a);
  SetNZVC(m, r & 0x8000, r == 0, v & 0x8000, c & 0x8000);
  return r;
}

inline std::uint16_t Sub16(Machine& m, std::uint16_t a, std::uint16_t b) {
  const auto r = static_cast<std::uint16_t>(a - b);
  const unsigned v = (a & ~b & ~r) | (~a & b & r);
  SetNZVC(m, r & 0x8000, r == 0, v & 0x8000, a < b);
  return r;
}

}  // namespace hc11::exec
