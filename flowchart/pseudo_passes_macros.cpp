// The last rewriting pass: a call of a macro, or of a routine described by a ";!call" line,
// becomes the statement its definition spells, with its operands filled in and
// its jump label set; a routine taking its parameter in a register folds the
// load of that register into the call.
#include <optional>
#include <string>

#include "core/text_util.h"
#include "flowchart/pseudo_rewriter.h"

namespace hc11 {

namespace {

const TMacroElem* FindMacro(const TMacroTable& macros, const std::string& name) {
  for (const TMacroElem& m : macros)
    if (m.Nom == name) return &m;
  return nullptr;
}

// Where `prev` assigns `name` ("name = value" at its start or after a blank),
// the value; nullopt otherwise. A longer name that merely ends the same way
// ("DATA = 5" for the parameter A) is no assignment of it.
std::optional<std::string> AssignedValue(const std::string& prev, const std::string& name) {
  const std::string key = name + " = ";
  for (std::size_t k = prev.find(key); k != std::string::npos; k = prev.find(key, k + 1)) {
    if (k == 0 || prev[k - 1] == ' ') return prev.substr(k + key.size());
  }
  return std::nullopt;
}

}  // namespace

void PseudoRewriter::MacroCalls() {
  BeginPass();
  ResetLabels();
  for (int i = 0; i < Size(); ++i) {
    if (Removed(i)) continue;
    TSynElem& e = At(i);
    TrackGlobalLabel(e);
    if (e.Text.empty()) continue;

    std::string rest = e.Text;
    std::string name = NextToken(rest, " ");
    std::string callee;
    if (name == "call") {
      callee = NextToken(rest, " ");
      name = "call " + callee;
    } else {
      name = ToLower(name);
    }
    const TMacroElem* macro = FindMacro(macros_, name);
    if (macro == nullptr) continue;

    std::string arg1, arg2, jump, generated;
    for (char kind : macro->Arguments) {
      switch (kind) {
        case '1':
          arg1 = NextToken(rest, ",");
          break;
        case '2':
          arg2 = NextToken(rest, ",");
          break;
        case 'L':
          jump = NextToken(rest, ",");
          break;
        case 'S':
          generated = NewLabel();
          jump = generated;
          break;
        default:
          break;
      }
    }
    std::string text = ApplyTemplate(macro->Modele, {arg1, arg2});

    if (!callee.empty() && e.Label.empty()) {
      const std::size_t open = text.find('(');
      const std::size_t close = text.find(')');
      // A parameter needs a name between the brackets; without one nothing
      // would be substituted and the previous statement would only be lost.
      if (open != std::string::npos && close != std::string::npos && open >= 1 && close > open + 1) {
        const std::string param = text.substr(open + 1, close - open - 1);
        const int q = PrevCode(i);
        if (q >= 0) {
          if (auto value = AssignedValue(At(q).Text, param)) {
            text.replace(open + 1, param.size(), *value);
            AbsorbPrevious(e, q);
          }
        }
      }
    }

    e.Marks.Traite = true;
    e.Text = std::move(text);
    e.Target = jump;
    if (!generated.empty()) {
      // The skipped-to element gets the generated label, unless it already
      // carries one: then that label is the target, and it is kept for the
      // jumps that name it.
      const int t = LiveAfter(i, 2);
      if (t >= 0) {
        TSynElem& landing = At(t);
        if (landing.Label.empty())
          landing.Label = generated;
        else if (e.Target == generated)
          e.Target = landing.Label;
      }
    }
  }
  EndPass();
}

}  // namespace hc11
