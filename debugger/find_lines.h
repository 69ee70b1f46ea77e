// The find box (Ctrl+F): the program's listing lines whose pseudo-code
// statement, label or comment holds a text, listed like a popup search, and a
// cursor that steps through them forwards and backwards, wrapping round.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/navigation.h"
#include "flowchart/sheet.h"
#include "flowchart/view/display_state.h"
#include "listing/listing_types.h"

namespace hc11 {

// Lines with an address inside a known function, in listing order. An empty
// text finds nothing.
std::vector<ListRow> FindRows(const Listing& listing, std::string_view text, bool matchCase);

class FindCursor {
 public:
  // Runs a new search; the cursor stands before the first hit.
  void Search(const Listing& listing, std::string_view text, bool matchCase);
  const std::vector<ListRow>& Rows() const { return rows_; }
  // The next (or, backwards, the previous) hit; nullopt when there is none.
  std::optional<std::size_t> Step(bool backward);
  int Current() const { return current_; }

 private:
  std::vector<ListRow> rows_;
  int current_ = -1;
};

// The selected flowchart line of the shown sheet: its address text and
// statement, or nullopt when no line is selected.
std::optional<std::pair<std::string, std::string>> SelectedLine(const Flowchart& sheet,
                                                                const FlowDisplay& display);

}  // namespace hc11
