#include "expr/expression.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "core/message_text.h"
#include "core/text_util.h"
#include "expr/program.h"

namespace hc11 {

namespace {

using Op = Expression::Op;
using namespace expr_detail;

struct NamedValue {
  const char* name;
  Op op;
  std::uint8_t arg;
};

constexpr std::array<NamedValue, 16> kNames = {{
    {"A", Op::Register, kA},
    {"B", Op::Register, kB},
    {"D", Op::Register, kD},
    {"X", Op::Register, kX},
    {"Y", Op::Register, kY},
    {"SP", Op::Register, kSP},
    {"PC", Op::Register, kPC},
    {"CC", Op::Register, kCC},
    {"C", Op::Flag, FlagC},
    {"V", Op::Flag, FlagV},
    {"Z", Op::Flag, FlagZ},
    {"N", Op::Flag, FlagN},
    {"I", Op::Flag, FlagI},
    {"H", Op::Flag, FlagH},
    {"cycles", Op::Cycles, 0},
    {"hits", Op::Hits, 0},
}};

bool SameName(std::string_view a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

bool NameStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@';
}

}  // namespace

std::string ExprError::Text() const {
  return Format("colonne %zu : ", column) + what;
}

// Recursive descent, one function per precedence level, lowest first.
class ExprParser {
 public:
  ExprParser(std::string_view text, const SymbolResolver& resolve) : s_(text), resolve_(resolve) {}

  ParsedExpression Run() {
    ParsedExpression result;
    Expression e;
    e.text_ = std::string(s_);
    nodes_ = &e.nodes_;
    Skip();
    if (pos_ >= s_.size()) {
      result.error = {1, "expression vide"};
      return result;
    }
    const std::int32_t root = LogOr();
    if (root >= 0 && pos_ < s_.size()) Fail("opérateur ou fin attendu");
    if (error_) {
      result.error = *error_;
      return result;
    }
    if (e.nodes_.size() > kNodesMax) {
      result.error = {1, "expression trop longue"};
      return result;
    }
    // The tree becomes a flat program run on a fixed stack, in post-order
    // with a jump after each left operand of && and ||.
    std::vector<Expression::Node> program;
    program.reserve(e.nodes_.size() + 8);
    int depth = 0, deepest = 0;
    Flatten(e.nodes_, root, program, depth, deepest);
    if (deepest > kStackSize) {
      result.error = {1, "expression trop complexe"};
      return result;
    }
    e.nodes_ = std::move(program);
    e.root_ = static_cast<std::int32_t>(e.nodes_.size() - 1);
    result.expression = std::move(e);
    return result;
  }

  // Bounds the flattening's recursion, which follows the tree's depth.
  static constexpr std::size_t kNodesMax = 2000;

 private:
  static bool IsLeaf(Op op) {
    return op == Op::Const || op == Op::Register || op == Op::Flag || op == Op::Cycles || op == Op::Hits;
  }
  static bool IsUnary(Op op) {
    return op == Op::Byte || op == Op::Word || op == Op::Neg || op == Op::Compl || op == Op::Not;
  }

  // `depth` is the stack height as the program runs; `deepest` its maximum.
  static void Flatten(const std::vector<Expression::Node>& tree, std::int32_t index,
                      std::vector<Expression::Node>& out, int& depth, int& deepest) {
    Expression::Node n = tree[static_cast<std::size_t>(index)];
    auto constant = [&](std::int32_t child) { return tree[static_cast<std::size_t>(child)].op == Op::Const; };
    if (IsLeaf(n.op)) {
      deepest = std::max(deepest, ++depth);
    } else if ((n.op == Op::Byte || n.op == Op::Word) && constant(n.left)) {
      // The commonest watch reads a fixed address.
      n.value = tree[static_cast<std::size_t>(n.left)].value;
      n.op = n.op == Op::Byte ? Op::ByteAt : Op::WordAt;
      deepest = std::max(deepest, ++depth);
    } else if (IsUnary(n.op)) {
      Flatten(tree, n.left, out, depth, deepest);
    } else if (n.op == Op::LogAnd || n.op == Op::LogOr) {
      Flatten(tree, n.left, out, depth, deepest);
      const std::size_t jump = out.size();
      out.push_back(
          Expression::Node{n.op == Op::LogAnd ? Op::JumpIfFalse : Op::JumpIfTrue, 0, -1, -1, 0, n.column});
      --depth;
      Flatten(tree, n.right, out, depth, deepest);
      out[jump].right = static_cast<std::int32_t>(out.size());  // the && or || node itself
    } else if (constant(n.right)) {
      // A constant right operand travels in the node (arg 1), not on the stack.
      Flatten(tree, n.left, out, depth, deepest);
      n.value = tree[static_cast<std::size_t>(n.right)].value;
      n.arg = 1;
    } else {
      Flatten(tree, n.left, out, depth, deepest);
      Flatten(tree, n.right, out, depth, deepest);
      --depth;
    }
    n.left = n.right = -1;
    out.push_back(n);
  }

 public:
 private:
  using Level = std::int32_t (ExprParser::*)();

  void Skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  // What was expected, and what stands there instead.
  std::int32_t Fail(std::string what) {
    const std::string found = pos_ < s_.size() ? "'" + QuoteText(std::string(1, s_[pos_])) + "'" : "la fin";
    return FailAt(pos_, what + " (trouvé " + found + ")");
  }
  std::int32_t FailAt(std::size_t at, std::string what) {
    if (!error_) error_ = ExprError{at + 1, std::move(what)};
    return -1;
  }
  // Consumes `op` unless it is the start of `longer` (| before ||).
  bool Take(std::string_view op, std::string_view notLonger = {}) {
    if (s_.substr(pos_, op.size()) != op) return false;
    if (!notLonger.empty() && s_.substr(pos_, notLonger.size()) == notLonger) return false;
    pos_ += op.size();
    Skip();
    return true;
  }
  std::int32_t Add(Op op, std::int32_t left, std::int32_t right, std::size_t at, std::int64_t value = 0,
                   std::uint8_t arg = 0) {
    nodes_->push_back(Expression::Node{op, arg, left, right, value, static_cast<std::uint32_t>(at + 1)});
    return static_cast<std::int32_t>(nodes_->size() - 1);
  }

  struct BinaryOp {
    std::string_view text, notLonger;
    Op op;
  };
  template <std::size_t N>
  std::int32_t Binary(Level next, const std::array<BinaryOp, N>& ops) {
    std::int32_t left = (this->*next)();
    for (;;) {
      if (left < 0) return -1;
      const std::size_t at = pos_;
      const BinaryOp* found = nullptr;
      for (const BinaryOp& o : ops)
        if (Take(o.text, o.notLonger)) {
          found = &o;
          break;
        }
      if (found == nullptr) return left;
      const std::int32_t right = (this->*next)();
      if (right < 0) return -1;
      left = Add(found->op, left, right, at);
    }
  }

  std::int32_t LogOr() { return Binary<1>(&ExprParser::LogAnd, {{{"||", {}, Op::LogOr}}}); }
  std::int32_t LogAnd() { return Binary<1>(&ExprParser::BitOr, {{{"&&", {}, Op::LogAnd}}}); }
  std::int32_t BitOr() { return Binary<1>(&ExprParser::BitXor, {{{"|", "||", Op::Or}}}); }
  std::int32_t BitXor() { return Binary<1>(&ExprParser::BitAnd, {{{"^", {}, Op::Xor}}}); }
  std::int32_t BitAnd() { return Binary<1>(&ExprParser::Equality, {{{"&", "&&", Op::And}}}); }
  std::int32_t Equality() {
    return Binary<2>(&ExprParser::Relation, {{{"==", {}, Op::Eq}, {"!=", {}, Op::Ne}}});
  }
  std::int32_t Relation() {
    return Binary<4>(&ExprParser::Shift,
                     {{{"<=", {}, Op::Le}, {">=", {}, Op::Ge}, {"<", "<<", Op::Lt}, {">", ">>", Op::Gt}}});
  }
  std::int32_t Shift() { return Binary<2>(&ExprParser::Sum, {{{"<<", {}, Op::Shl}, {">>", {}, Op::Shr}}}); }
  std::int32_t Sum() { return Binary<2>(&ExprParser::Product, {{{"+", {}, Op::Add}, {"-", {}, Op::Sub}}}); }
  std::int32_t Product() {
    return Binary<3>(&ExprParser::Unary, {{{"*", {}, Op::Mul}, {"/", {}, Op::Div}, {"%", {}, Op::Mod}}});
  }

  // Nesting guard: unary chains and brackets recurse.
  struct Deeper {
    explicit Deeper(int& depth) : d(depth) { ++d; }
    ~Deeper() { --d; }
    int& d;
  };

  std::int32_t Unary() {
    Deeper guard(depth_);
    if (depth_ > kExprNestingMax) return Fail("expression trop imbriquée");
    const std::size_t at = pos_;
    Op op;
    if (Take("-")) {
      op = Op::Neg;
    } else if (Take("~")) {
      op = Op::Compl;
    } else if (Take("!", "!=")) {
      op = Op::Not;
    } else if (Take("+")) {
      return Unary();
    } else {
      return Primary();
    }
    const std::int32_t operand = Unary();
    return operand < 0 ? -1 : Add(op, operand, -1, at);
  }

  std::int32_t Primary() {
    if (pos_ >= s_.size()) return Fail("valeur attendue");
    const std::size_t at = pos_;
    const char c = s_[pos_];
    if (c == '(') {
      Take("(");
      const std::int32_t inner = LogOr();
      if (inner < 0) return -1;
      if (!Take(")")) return Fail("')' attendue");
      return inner;
    }
    if (c == '[') {
      Take("[");
      const std::int32_t address = LogOr();
      if (address < 0) return -1;
      if (!Take("]")) return Fail("']' attendu");
      Op op = Op::Byte;
      if (pos_ + 1 < s_.size() && s_[pos_] == '.' && (s_[pos_ + 1] == 'w' || s_[pos_ + 1] == 'W')) {
        op = Op::Word;
        pos_ += 2;
        Skip();
      } else if (pos_ + 1 < s_.size() && s_[pos_] == '.' && (s_[pos_ + 1] == 'b' || s_[pos_ + 1] == 'B')) {
        pos_ += 2;
        Skip();
      }
      return Add(op, address, -1, at);
    }
    if (c == '$') return Number(at, pos_ + 1, 16);
    if (c == '%') return Number(at, pos_ + 1, 2);
    if (c == '0' && pos_ + 1 < s_.size() && (s_[pos_ + 1] == 'x' || s_[pos_ + 1] == 'X'))
      return Number(at, pos_ + 2, 16);
    if (std::isdigit(static_cast<unsigned char>(c))) return Number(at, pos_, 10);
    if (NameStart(c)) return Name(at);
    return Fail("valeur attendue");
  }

  std::int32_t Number(std::size_t at, std::size_t digitsAt, int base) {
    pos_ = digitsAt;
    std::uint64_t v = 0;
    std::size_t digits = 0;
    while (pos_ < s_.size()) {
      const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(s_[pos_])));
      int d = -1;
      if (ch >= '0' && ch <= '9') d = ch - '0';
      if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
      if (d < 0 || d >= base) break;
      if (v > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(d)) /
                  static_cast<unsigned>(base))
        return FailAt(at, "nombre trop grand");
      v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
      ++pos_;
      ++digits;
    }
    if (digits == 0) return Fail(base == 2 ? "chiffre binaire attendu" : "chiffre hexadécimal attendu");
    if (pos_ < s_.size() && NameChar(s_[pos_])) return Fail("chiffre attendu");
    Skip();
    return Add(Op::Const, -1, -1, at, Wrap(v));
  }

  std::int32_t Name(std::size_t at) {
    std::size_t end = pos_ + 1;
    while (end < s_.size() && NameChar(s_[end])) ++end;
    const std::string_view name = s_.substr(pos_, end - pos_);
    pos_ = end;
    for (const NamedValue& n : kNames) {
      if (SameName(name, n.name)) {
        Skip();
        return Add(n.op, -1, -1, at, 0, n.arg);
      }
    }
    const std::optional<std::uint16_t> address = resolve_ ? resolve_(name) : std::nullopt;
    if (!address) return FailAt(at, "symbole inconnu '" + QuoteText(std::string(name)) + "'");
    Skip();
    return Add(Op::Const, -1, -1, at, *address);
  }

  std::string_view s_;
  const SymbolResolver& resolve_;
  std::vector<Expression::Node>* nodes_ = nullptr;
  std::size_t pos_ = 0;
  int depth_ = 0;
  std::optional<ExprError> error_;
};

ParsedExpression ParseExpression(std::string_view text, const SymbolResolver& resolve) {
  return ExprParser(text, resolve).Run();
}

}  // namespace hc11
