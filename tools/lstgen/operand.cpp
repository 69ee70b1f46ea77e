#include "tools/lstgen/operand.h"

#include <vector>

#include "core/text_util.h"
#include "tools/lstgen/source_line.h"

namespace hc11::lstgen {

namespace {

char IndexRegister(std::string_view text) {
  if (text == "X" || text == "x") return 'X';
  if (text == "Y" || text == "y") return 'Y';
  return 0;
}

bool TakeMask(std::string_view text, ParsedOperand& op) {
  if (text.empty() || text.front() != '#') {
    op.error = "a bit mask is written #value";
    return false;
  }
  op.mask = Trim(text.substr(1));
  return true;
}

void TakeAddress(std::string_view text, ParsedOperand& op) {
  if (!text.empty() && (text.front() == '<' || text.front() == '>')) {
    op.size = text.front() == '<' ? AddressSize::Direct : AddressSize::Extended;
    text.remove_prefix(1);
  }
  op.value = Trim(text);
}

}  // namespace

ParsedOperand ParseOperand(std::string_view operand) {
  ParsedOperand op;
  const std::vector<std::string> parts = SplitOperands(operand);
  const char reg = parts.size() >= 2 ? IndexRegister(parts[1]) : 0;
  const auto offset = [&]() { return parts[0].empty() ? std::string("0") : parts[0]; };

  switch (parts.size()) {
    case 0:
      op.form = OperandForm::None;
      return op;
    case 1:
      if (!parts[0].empty() && parts[0].front() == '#') {
        op.form = OperandForm::Immediate;
        op.value = Trim(std::string_view(parts[0]).substr(1));
      } else {
        op.form = OperandForm::Address;
        TakeAddress(parts[0], op);
      }
      break;
    case 2:
      if (reg != 0) {
        op.form = OperandForm::Indexed;
        op.reg = reg;
        op.value = offset();
      } else {
        op.form = OperandForm::DirectMask;
        TakeAddress(parts[0], op);
        TakeMask(parts[1], op);
      }
      break;
    case 3:
      if (reg != 0) {
        op.form = OperandForm::IndexedMask;
        op.reg = reg;
        op.value = offset();
        TakeMask(parts[2], op);
      } else {
        op.form = OperandForm::DirectMaskBranch;
        TakeAddress(parts[0], op);
        TakeMask(parts[1], op);
        op.target = parts[2];
      }
      break;
    case 4:
      if (reg == 0) {
        op.error = "four operands need an index register second (off,X,#mask,target)";
        break;
      }
      op.form = OperandForm::IndexedMaskBranch;
      op.reg = reg;
      op.value = offset();
      TakeMask(parts[2], op);
      op.target = parts[3];
      break;
    default:
      op.error = "too many operands";
      break;
  }
  if (op.error.empty() && (op.form == OperandForm::Indexed || op.form == OperandForm::IndexedMask ||
                           op.form == OperandForm::IndexedMaskBranch)) {
    if (!op.value.empty() && (op.value.front() == '<' || op.value.front() == '>'))
      op.error = "an index offset takes no '<' or '>'";
  }
  return op;
}

std::string ListingOperand(const ParsedOperand& op, std::string_view asWritten) {
  const std::vector<std::string> parts = SplitOperands(asWritten);
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    if (i == 1 && op.reg != 0) part = std::string(1, op.reg);
    if (i == 0 && op.reg != 0 && part.empty()) part = "$00";
    if (i > 0) out += ',';
    out += part;
  }
  return out;
}

}  // namespace hc11::lstgen
