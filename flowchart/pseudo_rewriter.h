// The rewriting passes behind ConvertAll, one method each so a single pass can
// be run on its own. The passes share the label bookkeeping (the last global
// label passed and the counter of labels generated under it) and a deletion
// scheme: an element merged into a neighbour is marked and the list is
// compacted when the pass ends, so every pass stays linear in the list length.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_types.h"

namespace hc11 {

class PseudoRewriter {
 public:
  PseudoRewriter(TListSyn& lines, const TMacroTable& macros) : lines_(lines), macros_(macros) {}

  // Every pass in order; nothing on an empty list.
  void RunAll();

  void BranchTemplates();          // 1: conditional branches by machine code
  void MnemonicTemplates();        // 2: every other mnemonic, "dw", "db", "fill"
  void StoreFusion(char reg);      // 3, 4: "R = v" then "m = R" gives "m = v"
  void UseSubstitution(char reg);  // 5, 6: "R = v" then a statement using R
  void IndexFolding();             // 7: "X = a" then "[X] = ..." or "... = [X]"
  void BranchFusion();             // 8: a flag test folded into the statement before it
  void MacroCalls();               // 9: macro and known-routine calls

 private:
  void BeginPass();
  void EndPass();
  void Remove(int i) { removed_[static_cast<std::size_t>(i)] = 1; }
  bool Removed(int i) const { return removed_[static_cast<std::size_t>(i)] != 0; }
  int Size() const { return static_cast<int>(lines_.size()); }
  TSynElem& At(int i) { return lines_[static_cast<std::size_t>(i)]; }
  // Neighbour lookups that also step over elements removed in this pass.
  int PrevCode(int i) const;
  int NextCode(int i) const;
  // The live element `count` places after i, or -1.
  int LiveAfter(int i, int count) const;
  // E absorbs the code element Q before it: Q's address, label and comment.
  void AbsorbPrevious(TSynElem& e, int q);

  void ResetLabels();
  void TrackGlobalLabel(const TSynElem& e);
  std::string NewLabel();

  TListSyn& lines_;
  const TMacroTable& macros_;
  std::vector<char> removed_;
  std::string LabelCourant;
  int CompteurLabel = 0;
};

// Fills each "%s" of `tmpl` with the next argument, an empty text once the
// arguments run out; "%%" gives "%" and any other "%" is kept as written, so a
// template typed by the user can never read beyond its arguments.
std::string ApplyTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args);

// The address text of the last instruction a statement covers. A statement
// that takes in the one after it extends its range to that one's end, so a
// stop on any of its instructions finds it.
inline const std::string& LastAddressOf(const TSynElem& e) {
  return e.AddrEndText.empty() ? e.AddrText : e.AddrEndText;
}

// Appends " , " and `extra` to `comment` when `extra` is not empty.
void JoinComment(std::string& comment, const std::string& extra);

}  // namespace hc11
