#include "expr/log_format.h"

#include <cinttypes>

#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11 {

ParsedLogFormat ParseLogFormat(std::string_view text, const SymbolResolver& resolve) {
  ParsedLogFormat result;
  LogFormat f;
  f.text_ = std::string(text);
  std::string plain;
  auto flush = [&] {
    if (plain.empty()) return;
    f.parts_.push_back(LogFormat::Part{std::move(plain), std::nullopt, 'd'});
    f.starts_.push_back(0);
    plain.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '}') {
      if (i + 1 < text.size() && text[i + 1] == '}') {
        plain += '}';
        ++i;
        continue;
      }
      result.error = {i + 1, "'}' seule : écrire '}}'"};
      return result;
    }
    if (c != '{') {
      plain += c;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '{') {
      plain += '{';
      ++i;
      continue;
    }
    const std::size_t close = text.find('}', i + 1);
    if (close == std::string_view::npos) {
      result.error = {i + 1, "'}' attendue pour fermer '{'"};
      return result;
    }
    std::string_view inner = text.substr(i + 1, close - i - 1);
    char style = 'd';
    const std::size_t colon = inner.rfind(':');
    if (colon != std::string_view::npos) {
      const std::string_view letter = inner.substr(colon + 1);
      if (letter != "x" && letter != "X" && letter != "d") {
        result.error = {i + 3 + colon, "format x, X ou d attendu après ':'"};
        return result;
      }
      style = letter[0];
      inner = inner.substr(0, colon);
    }
    ParsedExpression e = ParseExpression(inner, resolve);
    if (!e.expression) {
      result.error = {e.error.column + i + 1, e.error.what};
      return result;
    }
    flush();
    f.parts_.push_back(LogFormat::Part{{}, std::move(e.expression), style});
    f.starts_.push_back(i + 1);
    i = close;
  }
  flush();
  result.format = std::move(f);
  return result;
}

std::string LogFormat::Format(const ExprContext& context, std::optional<ExprError>& fault) const {
  std::string out;
  for (std::size_t k = 0; k < parts_.size(); ++k) {
    const Part& p = parts_[k];
    if (!p.expression) {
      out += p.text;
      continue;
    }
    const ExprResult r = p.expression->Evaluate(context);
    if (r.fault) {
      if (!fault) fault = ExprError{r.fault->column + starts_[k], r.fault->what};
      out += "<erreur>";
      continue;
    }
    const bool negative = r.value < 0 && p.style != 'd';
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(r.value) : static_cast<std::uint64_t>(r.value);
    if (p.style == 'd') {
      out += hc11::Format("%" PRId64, r.value);
    } else {
      out += (negative ? "-" : "") + hc11::Format(p.style == 'x' ? "%" PRIx64 : "%" PRIX64, magnitude);
    }
  }
  return out;
}

}  // namespace hc11
