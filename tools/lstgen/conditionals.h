// Conditional assembly: if / else / endif over equ constants.
#pragma once

#include <string>
#include <vector>

namespace hc11::lstgen {

class CondStack {
 public:
  // The listing reader keeps five open levels; deeper nesting is refused.
  static constexpr std::size_t kMaxDepth = 5;

  bool Active() const { return levels_.empty() || levels_.back().active; }
  std::size_t Depth() const { return levels_.size(); }
  int OpenLine() const { return levels_.empty() ? 0 : levels_.back().line; }
  void Clear() { levels_.clear(); }

  // Each returns an error text, empty on success.
  std::string If(bool value, int line) {
    if (levels_.size() >= kMaxDepth) return "if nested deeper than 5 levels";
    levels_.push_back({Active(), value, false, line, Active() && value});
    return {};
  }
  std::string Else() {
    if (levels_.empty()) return "else without if";
    Level& l = levels_.back();
    if (l.inElse) return "second else for the same if";
    l.inElse = true;
    l.active = l.parentActive && !l.value;
    return {};
  }
  std::string Endif() {
    if (levels_.empty()) return "endif without if";
    levels_.pop_back();
    return {};
  }

 private:
  struct Level {
    bool parentActive;
    bool value;
    bool inElse;
    int line;
    bool active;
  };
  std::vector<Level> levels_;
};

}  // namespace hc11::lstgen
