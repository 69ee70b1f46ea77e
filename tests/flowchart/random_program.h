// Small random programs as rewritten records ("addr|label|text|target|comment"):
// routines of straight code, decisions forwards and backwards, jumps, calls
// and comment lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/text_util.h"

namespace hc11::test {

// A small random program: `functions` routines of straight code, decisions
// forwards and backwards, jumps, calls and comment lines.
inline std::vector<std::string> RandomProgram(std::uint32_t seed, int functions) {
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(range));
  };
  std::vector<std::string> records;
  int addr = 0xE000;
  for (int f = 0; f < functions; ++f) {
    const int length = 6 + next(30);
    std::vector<std::string> labels;
    for (int i = 0; i < length; ++i)
      labels.push_back(i == 0 ? Format("f%d", f) : next(4) == 0 ? Format("f%d_%d", f, i) : "");
    auto anyLabel = [&] {
      for (int tries = 0; tries < 8; ++tries)
        if (const std::string& l = labels[static_cast<std::size_t>(next(length))]; !l.empty()) return l;
      return labels[0];
    };
    for (int i = 0; i < length; ++i) {
      const std::string a = Format("%4.4X", addr);
      addr += 2;
      const std::string& label = labels[static_cast<std::size_t>(i)];
      if (next(6) == 0) records.push_back(Format("||||note %d", i));
      switch (i + 1 == length ? 5 : next(10)) {
        case 0:
        case 1:
        case 2:
          records.push_back(Format("%s|%s|(A - %d) = 0|%s", a.c_str(), label.c_str(), i, anyLabel().c_str()));
          break;
        case 3:
          records.push_back(Format("%s|%s||%s", a.c_str(), label.c_str(), anyLabel().c_str()));
          break;
        case 4:
          records.push_back(Format("%s|%s|call f%d", a.c_str(), label.c_str(), next(functions)));
          break;
        case 5:
          records.push_back(Format("%s|%s|ret", a.c_str(), label.c_str()));
          break;
        default:
          records.push_back(Format("%s|%s|A = A + %d", a.c_str(), label.c_str(), i));
          break;
      }
    }
  }
  return records;
}

}  // namespace hc11::test
