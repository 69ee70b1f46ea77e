// A synthetic assembler listing in the loader's column layout: `functions`
// small routines with branches, loops, calls and comments, plus one large
// routine "big" of `bigLines` lines, about `totalLines` lines in all.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_util.h"

namespace hc11::bench {

// One listing line: address in columns 1-4, code bytes from 6, line number in
// 23-27, source from 29.
inline std::string ListingLine(unsigned addr, std::string_view code, int number, const std::string& source) {
  std::string line(28, ' ');
  line.replace(0, 4, Format("%4.4X", addr & 0xFFFF));
  line.replace(5, code.size(), code);
  const std::string n = std::to_string(number);
  line.replace(27 - n.size(), n.size(), n);
  return line + source + "\r\n";
}

class ListingGenerator {
 public:
  // With `table`, a word table names every routine, so each one is in the
  // function list (otherwise only the routines some call reaches are).
  std::string Generate(int functions, int bigLines, int totalLines, bool table = false) {
    text_.clear();
    Line("", "", "; generated listing");
    Line("8000", "", "        org     $8000");
    const int smallLines = (totalLines - bigLines) / functions;
    for (int f = 0; f < functions; ++f) Function(Format("fn%03d", f), smallLines, functions);
    Function("big", bigLines, functions);
    if (table)
      for (int f = 0; f < functions; ++f)
        Code("80 00", 2, f == 0 ? "routines" : "", Format("dw      fn%03d", f));
    Line(Hex(addr_), "", "        end");
    return text_;
  }

  // A short program followed by a symbol section of `symbols` names (the
  // section is read only when no "end" comes before it).
  std::string GenerateSymbols(int symbols) {
    text_.clear();
    Line("8000", "", "        org     $8000");
    Function("main", 20, 1);
    text_ += "                    S Y M B O L   T A B L E\r\n";
    for (int s = 0; s < symbols; ++s)
      text_ += Format("sym_%06u %4.4X\r\n", Next() * 7919u % 1000000u, Next());
    return text_;
  }

 private:
  // Deterministic pseudo-random numbers, so every run measures the same text.
  unsigned Next() {
    seed_ = seed_ * 1103515245u + 12345u;
    return (seed_ >> 16) & 0x7FFF;
  }
  static std::string Hex(unsigned a) { return Format("%4.4X", a & 0xFFFF); }

  // Address in columns 1-4, code from 6, line number right aligned in 23-27,
  // source from 29.
  void Line(const std::string& addr, std::string_view code, std::string_view source) {
    std::string line(28, ' ');
    line.replace(0, addr.size(), addr);
    line.replace(5, code.size(), code);
    const std::string number = std::to_string(++lineNo_ % 100000);
    line.replace(27 - number.size(), number.size(), number);
    line += source;
    text_ += line;
    text_ += "\r\n";
  }
  void Code(std::string_view code, int size, const std::string& label, const std::string& statement) {
    std::string source = label;
    source.resize(std::max<std::size_t>(source.size() + 1, 8), ' ');
    Line(Hex(addr_), code, source + statement);
    addr_ += static_cast<unsigned>(size);
  }

  void Function(const std::string& name, int lines, int functions) {
    Line("", "", Format("; routine %s", name.c_str()));
    Code("86 05", 2, name, "ldA     #5 ; entry");
    int labels = 0;
    for (int i = 1; i < lines - 2; ++i) {
      const std::string label = (Next() % 4 == 0) ? Format("%s_%d", name.c_str(), labels++) : "";
      switch (Next() % 8) {
        case 0:
          Code("A6 10", 2, label, "ldA     $10,X");
          break;
        case 1:
          Code("97 20", 2, label, "stA     $20 ; keep");
          break;
        case 2:
          Code("8B 01", 2, label, "addA    #1");
          break;
        case 3:
          Code("81 03", 2, label, "cmpA    #3");
          break;
        case 4:
        case 5: {
          // A branch forward or back to a label of this routine.
          const int target = labels == 0 || Next() % 2 ? labels + static_cast<int>(Next() % 3)
                                                       : static_cast<int>(Next() % labels);
          Code("26 F0", 2, label, Format("bne     %s_%d", name.c_str(), target));
          break;
        }
        case 6:
          Code("BD 80 00", 3, label, Format("call    fn%03d", static_cast<int>(Next() % functions)));
          break;
        default:
          if (label.empty())
            Line("", "", Format("; step %d", i));
          else
            Code("B7 10 00", 3, label, "stA     $1000");
          break;
      }
    }
    // Make sure every forward target exists.
    for (int k = labels; k < labels + 3; ++k) Code("4C", 1, Format("%s_%d", name.c_str(), k), "incA");
    Code("39", 1, "", "ret");
  }

  std::string text_;
  unsigned addr_ = 0x8000;
  unsigned seed_ = 12345;
  int lineNo_ = 0;
};

}  // namespace hc11::bench
