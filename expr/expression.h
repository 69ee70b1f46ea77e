// The debugger's expressions: registers, flags, memory, listing symbols,
// numbers in four bases and C's operators. An expression is parsed once, when
// it is entered (a malformed one is refused with its column and what was
// expected), then evaluated as often as a run needs without allocating.
// Evaluation reads the memory array directly, as the dump does, so no device
// sees an access.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace hc11 {

// A listing symbol's address by name; nullopt when there is none.
using SymbolResolver = std::function<std::optional<std::uint16_t>(std::string_view)>;

// Where parsing or evaluation failed: a 1-based column in the expression text.
struct ExprError {
  std::size_t column = 0;
  std::string what;
  // "colonne N : what"
  std::string Text() const;
};

// What an evaluation sees besides the machine: the breakpoint's hit count.
struct ExprContext {
  const Machine& machine;
  std::uint64_t hits = 0;
};

struct ExprResult {
  std::int64_t value = 0;
  std::optional<ExprError> fault;  // set when the evaluation could not give a value
};

class Expression {
 public:
  enum class Op : std::uint8_t;
  struct Node {
    Op op;
    std::uint8_t arg = 0;  // register or flag selector
    std::int32_t left = -1, right = -1;
    std::int64_t value = 0;
    std::uint32_t column = 0;
  };

  const std::string& text() const { return text_; }
  ExprResult Evaluate(const ExprContext& context) const;
  // Evaluate(...).value != 0, faults aside.
  ExprResult Test(const ExprContext& context) const;

 private:
  friend class ExprParser;
  std::int64_t Eval(std::int32_t index, const ExprContext& c, std::optional<ExprError>& fault) const;

  std::string text_;
  std::vector<Node> nodes_;
  std::int32_t root_ = -1;
};

struct ParsedExpression {
  std::optional<Expression> expression;
  ExprError error;  // meaningful when expression is empty
};

// Parses the whole of `text`. Symbols are resolved now: a name neither a
// register, a flag, `cycles`, `hits` nor a symbol `resolve` knows is refused.
ParsedExpression ParseExpression(std::string_view text, const SymbolResolver& resolve);

// Deepest nesting of parentheses, brackets and unary operators accepted.
inline constexpr int kExprNestingMax = 64;

}  // namespace hc11
