#include "tools/lstgen/assembler.h"

#include <algorithm>

#include "core/text_util.h"
#include "tools/lstgen/encoder.h"
#include "tools/lstgen/listing_writer.h"

namespace hc11::lstgen {

Assembler::Assembler(std::string_view source)
    : lookup_([this](std::string_view name) { return symbols_.Lookup(name); }) {
  int number = 0;
  std::size_t start = 0;
  while (start < source.size()) {
    std::size_t end = source.find('\n', start);
    if (end == std::string_view::npos) end = source.size();
    lines_.emplace_back(++number, std::string(source.substr(start, end - start)));
    start = end + 1;
  }
}

Assembly Assembler::Run() {
  RunPass(1);
  RunPass(2);
  if (out_.Ok()) {
    for (const auto& [name, entry] : symbols_.Moved())
      Report({entry->line, 0},
             Format("'%s' moved from $%04X to $%04X between the passes", name.c_str(),
                    static_cast<unsigned>(entry->value[0]), static_cast<unsigned>(entry->value[1])),
             false, false);
  }
  out_.symbols = symbols_.Sorted();
  std::stable_sort(out_.diagnostics.begin(), out_.diagnostics.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return std::move(out_);
}

void Assembler::RunPass(int pass) {
  pass_ = pass;
  symbols_.BeginPass(pass);
  pc_ = 0;
  ended_ = false;
  warnedAfterEnd_ = false;
  macros_.clear();
  defining_.reset();
  macroStack_.clear();
  expansions_ = 0;
  cond_.Clear();
  nextChoice_ = 0;
  if (pass == 1) directChoices_.clear();
  out_.listing.clear();
  for (const auto& [number, text] : lines_) {
    if (ended_) {
      if (!warnedAfterEnd_ && !TrimView(text).empty()) {
        Warning({number, 0}, "lines after 'end' are ignored");
        warnedAfterEnd_ = true;
      }
      continue;
    }
    ProcessLine({number, 0}, text);
  }
  FinishSource();
}

void Assembler::ProcessLine(const Where& at, const std::string& raw) {
  const std::string text = ExpandTabs(raw);
  const SplitResult split = SplitSourceLine(text);
  if (defining_) {
    CollectMacroLine(at, split, text);
    return;
  }
  if (!split.error.empty()) {
    if (cond_.Active()) Error(at, split.error);
    ListAsWritten(at, text);
    return;
  }
  if (Conditional(at, split.fields)) return;
  if (!cond_.Active()) {
    ListAsWritten(at, text);
    return;
  }
  Statement(at, split.fields, text);
}

void Assembler::Statement(const Where& at, const SourceFields& f, const std::string& text) {
  if (f.op.empty()) {
    if (!f.label.empty()) DefineLabel(at, f.label, pc_);
    List(at, std::nullopt, {}, FormatSourceField(f.label, "", "", f.hasComment, f.comment));
    return;
  }
  const std::string op = ToLower(f.op);
  if (op == "org") return Org(at, f);
  if (op == "equ") return Equ(at, f);
  if (op == "db") return DataBytes(at, f);
  if (op == "dw") return DataWords(at, f);
  if (op == "ds") return Reserve(at, f);
  if (op == "fill") return Fill(at, f);
  if (op == "end") return End(at, f);
  if (op == "macro") return StartMacro(at, f);
  if (op == "endm") {
    Error(at, "endm without macro");
    ListAsWritten(at, text);
    return;
  }
  if (const auto it = macros_.find(op); it != macros_.end()) return CallMacro(at, f, it->second);
  if (CanonicalMnemonic(f.op)) return Instruction(at, f);
  std::string message = "unknown instruction or directive '" + f.op + "'";
  const std::string label = ToLower(f.label);
  if (CanonicalMnemonic(f.label) || label == "org" || label == "equ" || label == "end" || label == "endm")
    message += " ('" + f.label + "' in the first column is read as a label: indent it)";
  Error(at, message);
  ListAsWritten(at, text);
}

void Assembler::DefineLabel(const Where& at, const std::string& name, std::int32_t value, bool constant,
                            bool plainNumber) {
  if (!IsSymbolName(name)) {
    Error(at, "bad label '" + name + "'");
    return;
  }
  const std::string lower = ToLower(name);
  if (lower == "x" || lower == "y") {
    Error(at, "'" + name + "' is an index register, not a label");
    return;
  }
  const std::string error = symbols_.Define(name, value, at.line, constant, plainNumber);
  if (!error.empty()) Error(at, error);
}

void Assembler::Emit(const Where& at, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::int64_t address = static_cast<std::int64_t>(pc_) + static_cast<std::int64_t>(i);
    if (address < 0 || address > 0xFFFF) {
      Error(at, "code runs past $FFFF");
      break;
    }
    if (pass_ != 2) continue;
    const auto a = static_cast<std::uint16_t>(address);
    if (out_.image.Used(a)) {
      Error(at, Format("overwrites code already at $%04X", a));
      break;
    }
    out_.image.Put(a, bytes[i]);
  }
  pc_ += static_cast<std::int32_t>(bytes.size());
}

void Assembler::List(const Where& at, std::optional<std::uint16_t> address, std::vector<std::uint8_t> bytes,
                     std::string source, bool continueBytes) {
  if (pass_ != 2) return;
  // Inside a macro expansion only the lines that occupy memory are listed.
  if (at.level > 0 && !address) return;
  ListingEntry e;
  e.address = address;
  e.bytes = std::move(bytes);
  e.continueBytes = continueBytes;
  e.lineNumber = at.level == 0 ? at.line : 0;
  e.macroLevel = at.level;
  e.source = std::move(source);
  out_.listing.push_back(std::move(e));
}

void Assembler::ListAsWritten(const Where& at, const std::string& text) {
  const SplitResult split = SplitSourceLine(text);
  if (!split.error.empty()) {
    List(at, std::nullopt, {}, Trim(text));
    return;
  }
  const SourceFields& f = split.fields;
  List(at, std::nullopt, {}, FormatSourceField(f.label, f.op, f.operand, f.hasComment, f.comment));
}

void Assembler::Report(const Where& at, const std::string& message, bool warning, bool firstPassToo) {
  if (pass_ == 1 && !firstPassToo) return;
  std::string text = message;
  if (!macroStack_.empty())
    text += Format(" (in macro '%s', line %d)", macroStack_.back().first.c_str(), macroStack_.back().second);
  if (!reported_.insert({at.line, text}).second) return;
  out_.diagnostics.push_back({at.line, text, warning});
}

void Assembler::Error(const Where& at, const std::string& message) {
  Report(at, message, false, false);
}

void Assembler::Warning(const Where& at, const std::string& message) {
  Report(at, message, true, false);
}

std::int32_t Assembler::ValueNow(const Where& at, const std::string& text) {
  const ExprResult r = Evaluate(text, pc_, lookup_);
  if (!r.error.empty()) {
    Report(at, r.error, false, true);
    return 0;
  }
  if (!r.value.known) {
    Report(at, "'" + r.firstUndefined + "' must be defined before this line", false, true);
    return 0;
  }
  return r.value.value;
}

std::optional<std::int32_t> Assembler::Value(const Where& at, const std::string& text) {
  const ExprResult r = Evaluate(text, pc_, lookup_);
  if (!r.error.empty()) {
    Error(at, r.error);
    return std::nullopt;
  }
  if (!r.value.known) {
    Error(at, "undefined symbol '" + r.firstUndefined + "'");
    return std::nullopt;
  }
  return r.value.value;
}

void Assembler::FinishSource() {
  if (defining_) {
    Error({defining_->line, 0}, "macro '" + defining_->name + "' has no endm");
    defining_.reset();
  }
  if (cond_.Depth() > 0) Error({cond_.OpenLine(), 0}, "if without endif");
}

Assembly Assemble(std::string_view source) {
  return Assembler(source).Run();
}

}  // namespace hc11::lstgen
