// The steps of an expression's program, shared by the parser that makes it
// and the evaluator that runs it.
#pragma once

#include <cstdint>

#include "expr/expression.h"

namespace hc11 {

enum class Expression::Op : std::uint8_t {
  Const,
  Register,
  Flag,
  Cycles,
  Hits,
  Byte,
  Word,
  Neg,
  Compl,
  Not,
  Mul,
  Div,
  Mod,
  Add,
  Sub,
  Shl,
  Shr,
  Lt,
  Le,
  Gt,
  Ge,
  Eq,
  Ne,
  And,
  Xor,
  Or,
  LogAnd,
  LogOr,
  // Only in the flat program: the left operand of && or || decided the
  // value, which stays on the stack as 0 or 1, and evaluation goes on after
  // the node at `right`; otherwise the operand is dropped.
  JumpIfFalse,
  JumpIfTrue,
  // [constant] and [constant].w as one step.
  ByteAt,
  WordAt,
};

namespace expr_detail {

enum Reg : std::uint8_t { kA, kB, kD, kX, kY, kSP, kPC, kCC };

// Wrapping arithmetic: an overflowing expression gives the two's complement
// result instead of undefined behaviour.
inline std::int64_t Wrap(std::uint64_t v) {
  return static_cast<std::int64_t>(v);
}

// Deepest evaluation stack a program may need; the parser refuses more.
inline constexpr int kStackSize = 256;

}  // namespace expr_detail
}  // namespace hc11
