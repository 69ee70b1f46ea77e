// The merging passes: neighbouring statements that tell one thing are merged, so a
// load followed by its stores, a load followed by its use, an index load
// followed by the indexed access, and a test followed by its flag branch each
// read as one statement.
#include <string>

#include "core/text_util.h"
#include "flowchart/pseudo_rewriter.h"

namespace hc11 {

void PseudoRewriter::StoreFusion(char reg) {
  const std::string load = std::string(1, reg) + " = ";  // "A = "
  const std::string store = std::string(" = ") + reg;    // " = A"
  BeginPass();
  for (int i = 0; i < Size(); ++i) {
    if (Removed(i)) continue;
    TSynElem& e = At(i);
    if (!e.Text.starts_with(load)) continue;
    const std::string value = e.Text.substr(load.size());
    const std::string shown = value.find(' ') != std::string::npos ? "(" + value + ")" : value;
    std::string stores;
    for (;;) {
      const int j = NextCode(i);
      if (j < 0) break;
      TSynElem& n = At(j);
      // A store is a statement whose right side is exactly the register;
      // "X = ADRTAB" or "D = A * B" merely contain " = A" and stay apart.
      const std::size_t p = n.Text.find(store);
      if (p == std::string::npos || p == 0 || p + store.size() != n.Text.size()) break;
      if (n.Text.find(load) != std::string::npos) break;
      if (!n.Label.empty() || !n.Target.empty() || !e.Target.empty()) break;
      stores += n.Text.substr(0, p) + " = ";
      e.Text = stores + shown;
      e.AddrEndText = LastAddressOf(n);
      JoinComment(e.Comment, n.Comment);
      Remove(j);
    }
  }
  EndPass();
}

void PseudoRewriter::UseSubstitution(char reg) {
  const std::string load = std::string(1, reg) + " = ";
  const std::string use = std::string(" ") + reg + " ";
  BeginPass();
  for (int i = 0; i < Size(); ++i) {
    if (Removed(i)) continue;
    TSynElem& e = At(i);
    if (!e.Text.starts_with(load)) continue;
    const int j = NextCode(i);
    if (j < 0) continue;
    TSynElem& n = At(j);
    if (n.Text.find(" = ") == std::string::npos) continue;
    // The blank appended for the search stays in the merged text.
    std::string merged = n.Text + " ";
    const std::size_t q = merged.find(use);
    if (q == std::string::npos) continue;
    if (!n.Label.empty() || !n.Target.empty() || !e.Target.empty()) continue;
    merged.replace(q, use.size(), " " + e.Text.substr(load.size()) + " ");
    e.Text = std::move(merged);
    e.AddrEndText = LastAddressOf(n);
    JoinComment(e.Comment, n.Comment);
    e.Marks.AffecteZ = n.Marks.AffecteZ;
    e.Marks.AffecteC = n.Marks.AffecteC;
    Remove(j);
  }
  EndPass();
}

void PseudoRewriter::IndexFolding() {
  BeginPass();
  for (int i = 0; i < Size(); ++i) {
    if (Removed(i)) continue;
    TSynElem& e = At(i);
    for (const char reg : {'X', 'Y'}) {
      const std::string indexed = std::string("[") + reg + "]";
      const bool storeForm = e.Text.starts_with(indexed + " = ");
      const std::size_t p = storeForm ? std::string::npos : e.Text.find(" = " + indexed);
      if (!storeForm && (p == std::string::npos || p == 0)) continue;
      const int q = PrevCode(i);
      if (q < 0 || !e.Label.empty()) break;
      const std::string& prev = At(q).Text;
      if (!prev.starts_with(std::string(1, reg) + " = ")) continue;
      // Every use of the register is replaced (a read-modify-write reads and
      // stores through it); what stands around it (a ",1" word mark, a chain
      // of stores, the rest of an expression) is kept.
      const std::string address = "[" + prev.substr(4) + "]";
      for (std::size_t at = e.Text.find(indexed); at != std::string::npos;
           at = e.Text.find(indexed, at + address.size()))
        e.Text.replace(at, indexed.size(), address);
      AbsorbPrevious(e, q);
      e.Marks.Traite = true;
      break;
    }
  }
  EndPass();
}

void PseudoRewriter::BranchFusion() {
  static constexpr std::string_view kZeroTest = "bit(status,z) =";
  static constexpr std::string_view kCarryTest = "bit(status,c) =";
  BeginPass();
  for (int i = 0; i < Size(); ++i) {
    if (Removed(i)) continue;
    TSynElem& e = At(i);
    if (!e.Label.empty() || e.Target.empty()) continue;
    const std::string lower = ToLower(e.Text);
    const bool zero = lower.starts_with(kZeroTest);
    if (!zero && !lower.starts_with(kCarryTest)) continue;
    const std::string flag = lower.substr(kZeroTest.size());
    const int q = PrevCode(i);
    if (q < 0) continue;
    TSynElem& prev = At(q);
    if (!prev.Target.empty() || !(zero ? prev.Marks.AffecteZ : prev.Marks.AffecteC)) continue;
    const std::string& t = prev.Text;
    std::string test;
    if (flag == "1")
      test = "(" + t + (zero ? ") = 0" : ") < 0");
    else if (flag == "0")
      test = "(" + t + (zero ? ") <> 0" : ") >= 0");
    else
      test = "Arg erreur :" + t;
    prev.Text = std::move(test);
    prev.Target = e.Target;
    prev.AddrEndText = LastAddressOf(e);
    prev.Comment = e.Comment + prev.Comment;
    Remove(i);
  }
  EndPass();
}

}  // namespace hc11
