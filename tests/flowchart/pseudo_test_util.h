// Line records built the way the listing loader makes them, a compact
// one-line view of a record, and a runner for tables of small line lists.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flowchart/pseudo_rewriter.h"
#include "listing/listing_types.h"

namespace hc11::test {

// A code line: address text, normalised instruction text and code bytes.
struct Line {
  TSynElem e;
  Line(std::string addr, std::string text, std::uint8_t op1 = 0x18, std::uint8_t op2 = 0) {
    e.AddrText = std::move(addr);
    e.Text = std::move(text);
    e.Op1 = op1;
    e.Op2 = op2;
  }
  Line& label(std::string l) { return Set(e.Label, std::move(l)); }
  Line& target(std::string t) { return Set(e.Target, std::move(t)); }
  Line& comment(std::string c) { return Set(e.Comment, std::move(c)); }
  Line& setsZ() { return Set(e.Marks.AffecteZ, true); }
  Line& setsC() { return Set(e.Marks.AffecteC, true); }
  operator TSynElem() const { return e; }

 private:
  template <typename T, typename V>
  Line& Set(T& field, V value) {
    field = std::move(value);
    return *this;
  }
};

// A full-line comment record (no address).
inline TSynElem Remark(std::string text) {
  TSynElem e;
  e.Comment = std::move(text);
  return e;
}

// "addr|label|text|target|comment" plus "|T" when Traite is set.
inline std::vector<std::string> View(const TListSyn& lines) {
  std::vector<std::string> out;
  for (const TSynElem& e : lines)
    out.push_back(e.AddrText + "|" + e.Label + "|" + e.Text + "|" + e.Target + "|" + e.Comment +
                  (e.Marks.Traite ? "|T" : ""));
  return out;
}

struct ListCase {
  const char* name;
  TListSyn in;
  std::vector<std::string> want;  // View() of the list afterwards
};

inline void RunCases(const std::vector<ListCase>& cases, const std::function<void(PseudoRewriter&)>& pass,
                     const TMacroTable& macros = {}) {
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListSyn lines = c.in;
    PseudoRewriter rewriter(lines, macros);
    pass(rewriter);
    EXPECT_EQ(View(lines), c.want);
  }
}

}  // namespace hc11::test
