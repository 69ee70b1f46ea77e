#include "tools/lstgen/expression.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace hc11::lstgen {

namespace {

bool IsNameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '?';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Recursive descent over the text; values are computed in 64 bits and must
// end up within 32 bits.
class Parser {
 public:
  Parser(std::string_view text, std::int32_t here, const SymbolLookup& lookup)
      : text_(text), here_(here), lookup_(lookup) {}

  ExprResult Run() {
    ExprResult result;
    SkipBlanks();
    if (pos_ >= text_.size()) {
      result.error = "missing value";
      return result;
    }
    const std::int64_t v = Or();
    SkipBlanks();
    if (error_.empty() && pos_ < text_.size()) Fail("unexpected '" + std::string(text_.substr(pos_)) + "'");
    result.error = error_;
    result.firstUndefined = undefined_;
    result.value.known = known_;
    result.value.value = (error_.empty() && known_) ? static_cast<std::int32_t>(v) : 0;
    return result;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool Accept(std::string_view op) {
    SkipBlanks();
    if (text_.substr(pos_, op.size()) != op) return false;
    pos_ += op.size();
    return true;
  }
  void Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
  }
  std::int64_t Check(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min()) {
      Fail("value out of range");
      return 0;
    }
    return v;
  }

  std::int64_t Or() {
    std::int64_t v = Xor();
    while (error_.empty() && Accept("|")) v = v | Xor();
    return v;
  }
  std::int64_t Xor() {
    std::int64_t v = And();
    while (error_.empty() && Accept("^")) v = v ^ And();
    return v;
  }
  std::int64_t And() {
    std::int64_t v = Shift();
    while (error_.empty() && Accept("&")) v = v & Shift();
    return v;
  }
  std::int64_t Shift() {
    std::int64_t v = Sum();
    while (error_.empty()) {
      const bool left = Accept("<<");
      if (!left && !Accept(">>")) break;
      const std::int64_t count = Sum();
      if (count < 0 || count > 31) {
        Fail("shift count out of range");
        return 0;
      }
      v = Check(left ? v * (std::int64_t{1} << count) : v >> count);
    }
    return v;
  }
  std::int64_t Sum() {
    std::int64_t v = Product();
    while (error_.empty()) {
      if (Accept("+"))
        v = Check(v + Product());
      else if (Accept("-"))
        v = Check(v - Product());
      else
        break;
    }
    return v;
  }
  std::int64_t Product() {
    std::int64_t v = Unary();
    while (error_.empty()) {
      SkipBlanks();
      char op = pos_ < text_.size() ? text_[pos_] : '\0';
      if (op != '*' && op != '/' && op != '%') break;
      ++pos_;
      const std::int64_t rhs = Unary();
      if (op == '*') {
        v = Check(v * rhs);
      } else if (rhs == 0) {
        if (known_) Fail("division by zero");
        v = 0;
      } else {
        v = op == '/' ? v / rhs : v % rhs;
      }
    }
    return v;
  }
  std::int64_t Unary() {
    // Nesting is bounded so that no input can exhaust the stack.
    if (++depth_ > kMaxDepth) {
      Fail("expression nested too deeply");
      return 0;
    }
    std::int64_t v;
    if (Accept("-"))
      v = Check(-Unary());
    else if (Accept("~"))
      v = ~Unary();
    else if (Accept("+"))
      v = Unary();
    else
      v = Primary();
    --depth_;
    return v;
  }
  std::int64_t Primary() {
    SkipBlanks();
    if (pos_ >= text_.size()) {
      Fail("missing value");
      return 0;
    }
    const char c = text_[pos_];
    if (c == '(') {
      ++pos_;
      const std::int64_t v = Or();
      if (!Accept(")")) Fail("missing ')'");
      return v;
    }
    if (c == '*') {
      ++pos_;
      return here_;
    }
    if (c == '$') return Number(16, 1);
    if (c == '%') return Number(2, 1);
    if (std::isdigit(static_cast<unsigned char>(c))) return Number(10, 0);
    if (c == '\'') {
      if (pos_ + 2 < text_.size() && text_[pos_ + 2] == '\'') {
        const auto v = static_cast<unsigned char>(text_[pos_ + 1]);
        pos_ += 3;
        return v;
      }
      Fail("bad character constant");
      return 0;
    }
    if (IsNameStart(c)) {
      const std::size_t start = pos_;
      while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
      const std::string_view name = text_.substr(start, pos_ - start);
      const auto v = lookup_(name);
      if (v) return *v;
      known_ = false;
      if (undefined_.empty()) undefined_ = std::string(name);
      return 0;
    }
    Fail("unexpected '" + std::string(text_.substr(pos_)) + "'");
    return 0;
  }
  std::int64_t Number(int base, std::size_t skip) {
    pos_ += skip;
    const std::size_t start = pos_;
    std::int64_t v = 0;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) {
      const int d = DigitValue(text_[pos_]);
      if (d >= base) {
        Fail("bad digit in number '" + std::string(text_.substr(start - skip, pos_ - start + skip + 1)) +
             "'");
        return 0;
      }
      v = v * base + d;
      if (v > 0xFFFFFFFFll) {
        Fail("number too large");
        return 0;
      }
      ++pos_;
    }
    if (pos_ == start) Fail("missing digits after '" + std::string(1, text_[start - 1]) + "'");
    return Check(v);
  }

  static constexpr int kMaxDepth = 64;

  std::string_view text_;
  std::int32_t here_;
  int depth_ = 0;
  const SymbolLookup& lookup_;
  std::size_t pos_ = 0;
  bool known_ = true;
  std::string error_;
  std::string undefined_;
};

}  // namespace

ExprResult Evaluate(std::string_view text, std::int32_t here, const SymbolLookup& lookup) {
  return Parser(text, here, lookup).Run();
}

std::string OutOfRange(const char* what, std::int32_t value) {
  char number[24];
  if (value < 0)
    std::snprintf(number, sizeof number, "%d", value);
  else
    std::snprintf(number, sizeof number, "$%X", static_cast<unsigned>(value));
  return std::string(what) + " " + number + " out of range";
}

bool IsSymbolName(std::string_view text) {
  if (text.empty() || !IsNameStart(text.front())) return false;
  for (char c : text)
    if (!IsNameChar(c)) return false;
  return true;
}

bool IsPlainNumber(std::string_view text) {
  if (text.empty()) return false;
  const bool hex = text.front() == '$';
  if (hex) text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text)
    if (DigitValue(c) >= (hex ? 16 : 10)) return false;
  return true;
}

}  // namespace hc11::lstgen
