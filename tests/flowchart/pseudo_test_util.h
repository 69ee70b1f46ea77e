// Line records built the way the listing loader makes them, a compact
// one-line view of a record, and a runner for tables of small line lists.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "flowchart/pseudo_rewriter.h"
#include "listing/listing_types.h"

namespace hc11::test {

// A record from "addr|label|text|target|comment|code bytes|flags|end addr",
// the view below with trailing fields optional: two hex code bytes ("26 04",
// 18 00 when empty) and the flags the statement sets ("Z", "C").
inline TSynElem Rec(const std::string& record) {
  std::vector<std::string> f;
  std::istringstream in(record);
  for (std::string field; std::getline(in, field, '|');) f.push_back(field);
  f.resize(8);
  TSynElem e;
  e.AddrText = f[0];
  e.Label = f[1];
  e.Text = f[2];
  e.Target = f[3];
  e.Comment = f[4];
  e.AddrEndText = f[7];
  unsigned op1 = 0x18, op2 = 0;
  std::sscanf(f[5].c_str(), "%x %x", &op1, &op2);
  e.Op1 = static_cast<std::uint8_t>(op1);
  e.Op2 = static_cast<std::uint8_t>(op2);
  e.Marks.AffecteZ = f[6].find('Z') != std::string::npos;
  e.Marks.AffecteC = f[6].find('C') != std::string::npos;
  return e;
}

inline TListSyn Recs(const std::vector<std::string>& records) {
  TListSyn lines;
  for (const auto& s : records) lines.push_back(Rec(s));
  return lines;
}

// "addr|label|text|target|comment|T" (T when Traite is set), without the
// trailing empty fields.
inline std::vector<std::string> View(const TListSyn& lines) {
  std::vector<std::string> out;
  for (const TSynElem& e : lines) {
    std::string s = e.AddrText + "|" + e.Label + "|" + e.Text + "|" + e.Target + "|" + e.Comment +
                    (e.Marks.Traite ? "|T" : "");
    out.push_back(s.erase(s.find_last_not_of('|') + 1));
  }
  return out;
}

struct ListCase {
  const char* name;
  std::vector<std::string> in;  // Rec() texts
  std::vector<std::string>
      want;  // View() of the list afterwards; empty: unchanged  // View() of the list afterwards
};

inline void RunCases(const std::vector<ListCase>& cases, const std::function<void(PseudoRewriter&)>& pass,
                     const TMacroTable& macros = {}) {
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListSyn lines = Recs(c.in);
    PseudoRewriter rewriter(lines, macros);
    pass(rewriter);
    EXPECT_EQ(View(lines), c.want.empty() ? View(Recs(c.in)) : c.want);
  }
}

}  // namespace hc11::test
