// Running an expression's program: a loop over its steps on a fixed stack.
#include "expr/expression.h"
#include "expr/program.h"

namespace hc11 {

using Op = Expression::Op;
using namespace expr_detail;

std::int64_t Expression::Eval(std::int32_t last, const ExprContext& c,
                              std::optional<ExprError>& fault) const {
  std::int64_t stack[kStackSize];  // the parser refused anything deeper
  int top = -1;
  const Machine& m = c.machine;
  const Node* code = nodes_.data();
  for (std::int32_t pc = 0; pc <= last; ++pc) {
    const Node& n = code[pc];
    switch (n.op) {
      case Op::Const:
        stack[++top] = n.value;
        continue;
      case Op::Register: {
        std::int64_t v;
        switch (n.arg) {
          case kA:
            v = m.cpu.A;
            break;
          case kB:
            v = m.cpu.B;
            break;
          case kD:
            v = m.GetD();
            break;
          case kX:
            v = m.cpu.X;
            break;
          case kY:
            v = m.cpu.Y;
            break;
          case kSP:
            v = m.cpu.SP;
            break;
          case kPC:
            v = m.cpu.PC;
            break;
          default:
            v = m.cpu.CC;
            break;
        }
        stack[++top] = v;
        continue;
      }
      case Op::Flag:
        stack[++top] = (m.cpu.CC & n.arg) != 0;
        continue;
      case Op::Cycles:
        stack[++top] = m.CycleCount;
        continue;
      case Op::Hits:
        stack[++top] = static_cast<std::int64_t>(c.hits);
        continue;
      case Op::ByteAt:
        stack[++top] = m.Memory[static_cast<std::uint16_t>(n.value)];
        continue;
      case Op::WordAt: {
        const auto a = static_cast<std::uint16_t>(n.value);
        stack[++top] = m.Memory[a] << 8 | m.Memory[static_cast<std::uint16_t>(a + 1)];
        continue;
      }
      case Op::Byte:
        stack[top] = m.Memory[static_cast<std::uint16_t>(stack[top])];
        continue;
      case Op::Word: {
        const auto a = static_cast<std::uint16_t>(stack[top]);
        stack[top] = m.Memory[a] << 8 | m.Memory[static_cast<std::uint16_t>(a + 1)];
        continue;
      }
      case Op::Neg:
        stack[top] = Wrap(0 - static_cast<std::uint64_t>(stack[top]));
        continue;
      case Op::Compl:
        stack[top] = ~stack[top];
        continue;
      case Op::Not:
        stack[top] = stack[top] == 0;
        continue;
      case Op::JumpIfFalse:
      case Op::JumpIfTrue:
        if ((stack[top] != 0) == (n.op == Op::JumpIfTrue)) {
          stack[top] = stack[top] != 0;
          pc = n.right;  // past the && or || node
        } else {
          --top;
        }
        continue;
      case Op::LogAnd:
      case Op::LogOr:
        stack[top] = stack[top] != 0;  // the right operand decides
        continue;
      default:
        break;
    }
    const std::int64_t b = n.arg != 0 ? n.value : stack[top--];
    const std::int64_t a = stack[top];
    const auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
    std::int64_t& r = stack[top];
    switch (n.op) {
      case Op::Mul:
        r = Wrap(ua * ub);
        break;
      case Op::Div:
      case Op::Mod:
        if (b == 0) {
          if (!fault) fault = ExprError{n.column, "division par zéro"};
          return 0;
        }
        if (b == -1) {
          r = n.op == Op::Div ? Wrap(0 - ua) : 0;  // INT64_MIN / -1 overflows
        } else {
          r = n.op == Op::Div ? a / b : a % b;
        }
        break;
      case Op::Add:
        r = Wrap(ua + ub);
        break;
      case Op::Sub:
        r = Wrap(ua - ub);
        break;
      case Op::Shl:
        r = ub >= 64 ? 0 : Wrap(ua << ub);
        break;
      case Op::Shr:
        r = ub >= 64 ? (a < 0 ? -1 : 0) : a >> ub;
        break;
      case Op::Lt:
        r = a < b;
        break;
      case Op::Le:
        r = a <= b;
        break;
      case Op::Gt:
        r = a > b;
        break;
      case Op::Ge:
        r = a >= b;
        break;
      case Op::Eq:
        r = a == b;
        break;
      case Op::Ne:
        r = a != b;
        break;
      case Op::And:
        r = a & b;
        break;
      case Op::Xor:
        r = a ^ b;
        break;
      default:
        r = a | b;
        break;
    }
  }
  return stack[top];
}

ExprResult Expression::Evaluate(const ExprContext& context) const {
  ExprResult r;
  r.value = Eval(root_, context, r.fault);
  return r;
}

ExprResult Expression::Test(const ExprContext& context) const {
  ExprResult r = Evaluate(context);
  r.value = r.value != 0;
  return r;
}

}  // namespace hc11
