// The two-pass assembler behind Assemble(). The first pass gives every label
// its value; the second emits the bytes and the listing, using the first
// pass's values for forward references and its choice of direct or extended
// addressing so that no instruction changes size.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/lstgen/assembly.h"
#include "tools/lstgen/conditionals.h"
#include "tools/lstgen/expression.h"
#include "tools/lstgen/source_line.h"
#include "tools/lstgen/symbol_table.h"

namespace hc11::lstgen {

class Assembler {
 public:
  explicit Assembler(std::string_view source);
  // The symbol lookup refers to this object.
  Assembler(const Assembler&) = delete;
  Assembler& operator=(const Assembler&) = delete;

  Assembly Run();

 private:
  struct MacroDef {
    std::string name;
    int line = 0;
    std::vector<std::pair<int, std::string>> body;  // source line number, text
  };
  // Where a statement comes from, for its listing entry and its messages.
  struct Where {
    int line = 0;   // source line; for an expansion, the outermost call's line
    int level = 0;  // macro nesting: 0 for a source line
  };

  // assembler.cpp: passes, line handling, labels, bytes, messages.
  void RunPass(int pass);
  void ProcessLine(const Where& at, const std::string& text);
  void Statement(const Where& at, const SourceFields& f, const std::string& text);
  void DefineLabel(const Where& at, const std::string& name, std::int32_t value, bool constant = false,
                   bool plainNumber = false);
  void Emit(const Where& at, const std::vector<std::uint8_t>& bytes);
  void List(const Where& at, std::optional<std::uint16_t> address, std::vector<std::uint8_t> bytes,
            std::string source, bool continueBytes = false);
  void ListAsWritten(const Where& at, const std::string& text);
  void Error(const Where& at, const std::string& message);
  void Warning(const Where& at, const std::string& message);
  void Report(const Where& at, const std::string& message, bool warning, bool firstPassToo);
  // Evaluates a value the first pass already needs (org, ds, fill counts):
  // an unknown symbol is an error in either pass.
  std::int32_t ValueNow(const Where& at, const std::string& text);
  // Evaluates a value that may refer forward; unknown values are 0 in the
  // first pass and errors in the second.
  std::optional<std::int32_t> Value(const Where& at, const std::string& text);

  // statements.cpp: instructions and directives.
  void Instruction(const Where& at, const SourceFields& f);
  void Org(const Where& at, const SourceFields& f);
  void Equ(const Where& at, const SourceFields& f);
  void DataBytes(const Where& at, const SourceFields& f);
  void DataWords(const Where& at, const SourceFields& f);
  void Reserve(const Where& at, const SourceFields& f);
  void Fill(const Where& at, const SourceFields& f);
  void End(const Where& at, const SourceFields& f);

  // macros.cpp: macro definitions and calls, conditional assembly.
  void CollectMacroLine(const Where& at, const SplitResult& split, const std::string& text);
  void StartMacro(const Where& at, const SourceFields& f);
  void CallMacro(const Where& at, const SourceFields& f, const MacroDef& macro);
  bool Conditional(const Where& at, const SourceFields& f);
  void FinishSource();

  std::vector<std::pair<int, std::string>> lines_;
  int pass_ = 1;
  std::int32_t pc_ = 0;
  bool ended_ = false;
  bool warnedAfterEnd_ = false;
  SymbolTable symbols_;
  std::map<std::string, MacroDef> macros_;  // keyed by lower-case name
  std::optional<MacroDef> defining_;
  std::vector<std::pair<std::string, int>> macroStack_;  // name and body line being expanded
  int expansions_ = 0;
  CondStack cond_;
  std::vector<bool> directChoices_;  // per instruction, in pass order
  std::size_t nextChoice_ = 0;
  SymbolLookup lookup_;
  Assembly out_;
  std::set<std::pair<int, std::string>> reported_;
};

}  // namespace hc11::lstgen
