// Macro definitions and calls, and conditional assembly.
#include "core/text_util.h"
#include "tools/lstgen/assembler.h"
#include "tools/lstgen/encoder.h"
#include "tools/lstgen/listing_writer.h"

namespace hc11::lstgen {

namespace {

constexpr int kMaxMacroDepth = 8;

bool IsDirective(const std::string& lower) {
  for (const char* d :
       {"org", "equ", "db", "dw", "ds", "fill", "end", "macro", "endm", "if", "else", "endif"})
    if (lower == d) return true;
  return false;
}

// \1 .. \9 become the call's arguments (empty when missing), \@ the number of
// the expansion, so that labels inside a macro stay unique.
std::string Substitute(const std::string& text, const std::vector<std::string>& args, int expansion) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '\\' && next >= '1' && next <= '9') {
      const auto n = static_cast<std::size_t>(next - '1');
      if (n < args.size()) out += args[n];
      ++i;
    } else if (text[i] == '\\' && next == '@') {
      out += Format("%d", expansion);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

void Assembler::CollectMacroLine(const Where& at, const SplitResult& split, const std::string& text) {
  const SourceFields& f = split.fields;
  const std::string op = split.error.empty() ? ToLower(f.op) : std::string();
  if (op == "endm") {
    if (!f.label.empty()) Error(at, "endm takes no label");
    const std::string key = ToLower(defining_->name);
    if (!defining_->name.empty()) macros_.emplace(key, std::move(*defining_));
    defining_.reset();
    List(at, std::nullopt, {},
         FormatSourceField("", "endm", "", f.hasComment, f.comment, FieldStyle::EndMacro));
    return;
  }
  if (op == "macro") Error(at, "a macro cannot be defined inside another");
  defining_->body.emplace_back(at.line, text);
  ListAsWritten(at, text);
}

void Assembler::StartMacro(const Where& at, const SourceFields& f) {
  const std::string lower = ToLower(f.label);
  std::string name = f.label;
  if (at.level > 0) {
    Error(at, "a macro cannot be defined inside a macro");
    name.clear();
  } else if (name.empty()) {
    Error(at, "macro needs its name in the label field");
  } else if (!IsSymbolName(name)) {
    Error(at, "bad macro name '" + name + "'");
    name.clear();
  } else if (CanonicalMnemonic(name) || IsDirective(lower)) {
    Error(at, "'" + name + "' is an instruction or directive name");
    name.clear();
  } else if (macros_.count(lower) != 0) {
    Error(at, "macro '" + name + "' is already defined");
    name.clear();
  }
  if (!f.operand.empty()) Error(at, "macro takes no operand; the body refers to the arguments as \\1 .. \\9");
  // The body is collected even after an error, so it is not read as code.
  defining_ = MacroDef{name, at.line, {}};
  List(at, static_cast<std::uint16_t>(pc_ & 0xFFFF), {},
       FormatSourceField(f.label, "macro", f.operand, f.hasComment, f.comment));
}

void Assembler::CallMacro(const Where& at, const SourceFields& f, const MacroDef& macro) {
  if (at.level >= kMaxMacroDepth) {
    Error(at, Format("macro calls nested deeper than %d", kMaxMacroDepth));
    return;
  }
  if (!f.label.empty()) DefineLabel(at, f.label, pc_);
  List(at, std::nullopt, {}, FormatSourceField(f.label, f.op, f.operand, f.hasComment, f.comment));
  const std::vector<std::string> args = SplitOperands(f.operand);
  const int expansion = ++expansions_;
  const std::size_t depth = cond_.Depth();
  macroStack_.emplace_back(macro.name, macro.line);
  for (const auto& [bodyLine, text] : macro.body) {
    macroStack_.back().second = bodyLine;
    ProcessLine({at.line, at.level + 1}, Substitute(text, args, expansion));
    if (defining_) {
      Error(at, "a macro cannot be defined inside a macro");
      defining_.reset();
    }
  }
  const bool balanced = cond_.Depth() == depth;
  if (!balanced) Error(at, "if and endif do not pair up inside the macro");
  macroStack_.pop_back();
}

bool Assembler::Conditional(const Where& at, const SourceFields& f) {
  const std::string op = ToLower(f.op);
  if (op != "if" && op != "else" && op != "endif") return false;
  std::string error;
  if (op == "if") {
    bool value = false;
    if (cond_.Active()) {
      // The listing reader evaluates the condition from the equ line it has
      // already read, so the constant must be a plain number defined above.
      const SymbolTable::Entry* e = symbols_.Find(f.operand);
      if (!IsSymbolName(f.operand))
        Report(at, "if takes the name of an equ constant", false, true);
      else if (e == nullptr || !e->defined[pass_ - 1])
        Report(at, "'" + f.operand + "' must be defined before this if", false, true);
      else if (!e->constant || !e->plainNumber)
        Report(at, "'" + f.operand + "' must be an equ constant with a plain number value", false, true);
      else
        value = e->value[pass_ - 1] != 0;
    }
    error = cond_.If(value, at.line);
  } else {
    if (!f.operand.empty()) Error(at, op + " takes no operand");
    error = op == "else" ? cond_.Else() : cond_.Endif();
  }
  if (!error.empty()) Report(at, error, false, true);
  if (!f.label.empty()) Error(at, "no label on " + op);
  List(at, std::nullopt, {}, FormatSourceField(f.label, op, f.operand, f.hasComment, f.comment));
  return true;
}

}  // namespace hc11::lstgen
