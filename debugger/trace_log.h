// The trace list the window's "Trace" pane shows: the session keeps the
// last lines the core reported (instruction lines, timed events, breakpoint
// lines), dropping the oldest beyond the limit.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace hc11 {

inline constexpr std::size_t kTraceListLimit = 3001;

class TraceLog {
 public:
  void Append(const std::string& line) {
    while (lines_.size() >= kTraceListLimit) lines_.pop_front();
    lines_.push_back(line);
  }
  void Clear() { lines_.clear(); }
  const std::deque<std::string>& lines() const { return lines_; }

 private:
  std::deque<std::string> lines_;
};

}  // namespace hc11
