// A logpoint's message: plain text with `{EXPR}` (decimal), `{EXPR:x}` or
// `{EXPR:X}` (hexadecimal) and `{EXPR:d}` parts; `{{` and `}}` stand for the
// braces themselves. Parsed when entered, formatted at every hit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "expr/expression.h"

namespace hc11 {

class LogFormat {
 public:
  struct Part {
    std::string text;                      // written as it stands
    std::optional<Expression> expression;  // or this value
    char style = 'd';
  };

  const std::string& text() const { return text_; }
  // The message; on a fault the faulting part shows as "<erreur>" and `fault`
  // says why (with the column in the whole message).
  std::string Format(const ExprContext& context, std::optional<ExprError>& fault) const;

 private:
  friend struct ParsedLogFormat ParseLogFormat(std::string_view text, const SymbolResolver& resolve);
  std::string text_;
  std::vector<Part> parts_;
  std::vector<std::size_t> starts_;  // column offset of each part's expression
};

struct ParsedLogFormat {
  std::optional<LogFormat> format;
  ExprError error;  // columns count in the whole message
};

ParsedLogFormat ParseLogFormat(std::string_view text, const SymbolResolver& resolve);

}  // namespace hc11
