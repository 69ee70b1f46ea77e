// Operand expressions of the fixture assembler: numbers, symbols, the
// location counter and a small set of C-like operators.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace hc11::lstgen {

// The value of an expression. `known` is false while a symbol it uses has no
// value yet (a forward reference during the first pass); `value` is then 0.
struct ExprValue {
  std::int32_t value = 0;
  bool known = true;
};

// Resolves a symbol name: its value, or nothing when it is not defined (yet).
using SymbolLookup = std::function<std::optional<std::int32_t>(std::string_view)>;

struct ExprResult {
  ExprValue value;
  std::string error;           // empty on success
  std::string firstUndefined;  // first symbol that had no value
};

// Evaluates `text`. `here` is the value of "*" (the address of the current
// statement). Numbers: decimal, $hex, %binary, 'c'. Operators, loosest first:
// |  ^  &  << >>  + -  * / %  and the unary - ~ +.
ExprResult Evaluate(std::string_view text, std::int32_t here, const SymbolLookup& lookup);

// "<what> $1FF out of range" (negative values in decimal).
std::string OutOfRange(const char* what, std::int32_t value);

// True when `text` is a symbol name: a letter, "_", "." or "@" first, then
// letters, digits and "_", ".", "@", "?".
bool IsSymbolName(std::string_view text);

// True when `text` is a plain number the simulator's listing reader can read
// back: decimal digits, or "$" and hex digits.
bool IsPlainNumber(std::string_view text);

}  // namespace hc11::lstgen
