// The operand fetch every specialised handler starts with: the layout is a
// template argument, so each handler reads exactly its own bytes.
#pragma once

#include "core/decoder.h"
#include "core/exec_common.h"

namespace hc11::exec {

// Reads the operand bytes after the opcode at `pc` and moves PC past them.
template <OperandKind K>
[[gnu::always_inline]] inline Operands Fetch(Machine& m, std::uint16_t pc) {
  const auto& mem = m.Memory;
  Operands o;
  auto next = [&] { return mem[++pc]; };
  auto relative = [&] {
    const auto offset = static_cast<std::int8_t>(next());
    return static_cast<std::uint16_t>(pc + 1 + offset);
  };
  auto word = [&] {
    const std::uint8_t high = next();
    return static_cast<std::uint16_t>(high << 8 | next());
  };
  constexpr bool kViaX =
      K == OperandKind::IndexX || K == OperandKind::IndexXMask || K == OperandKind::IndexXMaskRel;
  constexpr bool kViaY =
      K == OperandKind::IndexY || K == OperandKind::IndexYMask || K == OperandKind::IndexYMaskRel;
  constexpr bool kDirect =
      K == OperandKind::Direct || K == OperandKind::DirectMask || K == OperandKind::DirectMaskRel;
  constexpr bool kMask = K == OperandKind::Mask || K == OperandKind::DirectMask ||
                         K == OperandKind::DirectMaskRel || K == OperandKind::IndexXMask ||
                         K == OperandKind::IndexXMaskRel || K == OperandKind::IndexYMask ||
                         K == OperandKind::IndexYMaskRel;
  constexpr bool kRelative = K == OperandKind::Relative || K == OperandKind::DirectMaskRel ||
                             K == OperandKind::IndexXMaskRel || K == OperandKind::IndexYMaskRel;
  if constexpr (K == OperandKind::Imm8) o.imm8 = next();
  if constexpr (K == OperandKind::Imm16) o.imm16 = word();
  if constexpr (K == OperandKind::Extended) o.ea = word();
  if constexpr (kDirect) o.ea = next();
  if constexpr (kViaX) o.ea = static_cast<std::uint16_t>(m.cpu.X + next());
  if constexpr (kViaY) o.ea = static_cast<std::uint16_t>(m.cpu.Y + next());
  if constexpr (kMask) o.mask = next();
  if constexpr (kRelative) o.target = relative();
  m.cpu.PC = static_cast<std::uint16_t>(pc + 1);
  return o;
}

}  // namespace hc11::exec
