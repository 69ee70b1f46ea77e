// The first two rewriting passes: each instruction's listing text becomes the pseudo-code
// template of its instruction-table row, filled with its operands.
#include <array>
#include <string>
#include <unordered_map>

#include "core/instruction_table.h"
#include "core/text_util.h"
#include "flowchart/pseudo_rewriter.h"

namespace hc11 {

namespace {

// The conditional-branch row for the line's machine code, provided the row is
// also the one the listing names (mnemonics compared as written).
const Tinstx* FindBranchRow(const TSynElem& e, std::string_view mnemonic) {
  const bool prefixed = e.Op1 == 0x18 || e.Op1 == 0x1A || e.Op1 == 0xCD;
  const std::uint8_t prefix = prefixed ? e.Op1 : 0;
  const std::uint8_t opcode = prefixed ? e.Op2 : e.Op1;
  for (const Tinstx& row : InstructionTable) {
    if (row.condBranch && row.prefix == prefix && (opcode & ~row.mask) == row.base &&
        row.mnemonic == mnemonic)
      return &row;
  }
  return nullptr;
}

// First row (table order) for each lower-cased mnemonic.
const Tinstx* FindRowByMnemonic(const std::string& lowerMnemonic) {
  static const std::unordered_map<std::string, const Tinstx*> byName = [] {
    std::unordered_map<std::string, const Tinstx*> map;
    for (const Tinstx& row : InstructionTable) map.emplace(ToLower(row.mnemonic), &row);
    return map;
  }();
  auto it = byName.find(lowerMnemonic);
  return it == byName.end() ? nullptr : it->second;
}

std::string WithoutForcedExtended(std::string operand) {
  if (!operand.empty() && operand.front() == '>') operand.erase(0, 1);
  return operand;
}

}  // namespace

void PseudoRewriter::BranchTemplates() {
  for (TSynElem& e : lines_) {
    const std::string lower = ToLower(e.Text);
    if (lower.starts_with("jmp")) {
      // An unconditional jump is drawn as a line, not as a statement.
      e.Marks.Traite = true;
      e.Text.clear();
      continue;
    }
    if (lower.starts_with("call")) {
      e.Marks.Traite = true;
      continue;
    }
    std::string rest = e.Text;
    const std::string mnemonic = NextToken(rest, " ");
    const Tinstx* row = FindBranchRow(e, mnemonic);
    if (row == nullptr) continue;
    std::array<std::string, 4> ops;
    for (std::string& op : ops) op = NextToken(rest, ",");
    e.Text = ApplyTemplate(row->pseudoCode, {ops[0], ops[1], ops[2]});
    e.Target.clear();
    for (auto it = ops.rbegin(); it != ops.rend(); ++it) {
      if (!it->empty()) {
        e.Target = *it;
        break;
      }
    }
    e.Marks.Traite = true;
  }
}

void PseudoRewriter::MnemonicTemplates() {
  for (TSynElem& e : lines_) {
    std::string operands = e.Text;
    const std::string mnemonic = ToLower(NextToken(operands, " "));
    if (mnemonic == "dw") {
      // A word table names routines: each entry reads as a call.
      e.Text = "call " + operands;
      e.Marks.Traite = true;
      continue;
    }
    if (mnemonic == "db" || mnemonic == "fill") {
      e.Text = mnemonic + " " + operands;
      e.Marks.Traite = true;
      continue;
    }
    const Tinstx* row = FindRowByMnemonic(mnemonic);
    if (row == nullptr) continue;

    std::string op1 = WithoutForcedExtended(NextToken(operands, ","));
    std::string op2 = WithoutForcedExtended(NextToken(operands, ","));
    std::string op3 = WithoutForcedExtended(NextToken(operands, ","));
    if (op2 == "X" || op2 == "Y") {
      // Indexed: "offset,reg" reads as one memory operand.
      op1 = op1 == "$00" ? "[" + op2 + "]" : "[" + op1 + "+" + op2 + "]";
      op2 = op3;
      op3.clear();
    }
    e.Marks.Traite = true;
    if (row->mask != 0) {
      // Rows with addressing-mode alternatives take one operand; a template
      // naming it twice ("%s = %s + 1") means the same operand both times.
      e.Text = ApplyTemplate(row->pseudoCode, {op1, op1, op1});
    } else {
      e.Text = ApplyTemplate(row->pseudoCode, {op1, op2, op3});
    }
  }
}

}  // namespace hc11
