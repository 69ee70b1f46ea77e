// Labels and constants, with the value each pass gave them so that forward
// references resolve and a symbol that moves between passes is caught.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lstgen/assembly.h"

namespace hc11::lstgen {

class SymbolTable {
 public:
  struct Entry {
    std::int32_t value[2] = {0, 0};
    bool defined[2] = {false, false};
    int line = 0;
    bool constant = false;     // defined by equ
    bool plainNumber = false;  // equ with a plain number, readable by the listing reader
  };

  // `pass` is 1 or 2.
  void BeginPass(int pass) { pass_ = pass; }

  // Defines `name` in the current pass. Returns an error text when the name
  // is already defined in this pass.
  std::string Define(std::string_view name, std::int32_t value, int line, bool constant, bool plainNumber);

  // The value in this pass; in the second pass a symbol not reached yet
  // takes its first-pass value (a forward reference).
  std::optional<std::int32_t> Lookup(std::string_view name) const;

  const Entry* Find(std::string_view name) const;

  // Labels whose second-pass value differs from the first.
  std::vector<std::pair<std::string, const Entry*>> Moved() const;

  std::vector<Symbol> Sorted() const;

 private:
  std::map<std::string, Entry, std::less<>> entries_;
  int pass_ = 1;
};

}  // namespace hc11::lstgen
