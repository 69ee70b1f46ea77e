// Line records built the way the listing loader makes them, and a compact
// one-line view of a record for comparisons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
  Line& label(std::string l) {
    e.Label = std::move(l);
    return *this;
  }
  Line& target(std::string t) {
    e.Target = std::move(t);
    return *this;
  }
  Line& comment(std::string c) {
    e.Comment = std::move(c);
    return *this;
  }
  Line& setsZ() {
    e.Marks.AffecteZ = true;
    return *this;
  }
  Line& setsC() {
    e.Marks.AffecteC = true;
    return *this;
  }
  operator TSynElem() const { return e; }
};

// A full-line comment record (no address).
inline TSynElem Remark(std::string text) {
  TSynElem e;
  e.Comment = std::move(text);
  return e;
}

// "addr|label|text|target|comment" plus "|T" when Traite is set.
inline std::string View(const TSynElem& e) {
  std::string s = e.AddrText + "|" + e.Label + "|" + e.Text + "|" + e.Target + "|" + e.Comment;
  if (e.Marks.Traite) s += "|T";
  return s;
}

inline std::vector<std::string> View(const TListSyn& lines) {
  std::vector<std::string> out;
  for (const TSynElem& e : lines) out.push_back(View(e));
  return out;
}

}  // namespace hc11::test
