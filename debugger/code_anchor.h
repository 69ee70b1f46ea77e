// Where a breakpoint stood in the listing, so it can follow its instruction
// when the program is assembled again and the code moves: the label above
// the line, how many addressed lines below it, and the line's text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_types.h"

namespace hc11 {

struct CodeAnchor {
  std::string label;         // nearest label at or above the line; empty above the first one
  std::uint32_t offset = 0;  // addressed lines between the label's line and this one
  std::string text;          // the instruction text and its jump target, blanks folded to one
  bool operator==(const CodeAnchor&) const = default;
};

enum class AnchorPlace : std::uint8_t {
  Unchanged,  // the line is still at its address
  Moved,      // found again elsewhere
  Lost,       // not found: the entry stays where it was, to be checked
};

struct Placement {
  AnchorPlace place = AnchorPlace::Unchanged;
  std::uint16_t address = 0;
};

// The anchors of a listing's lines, taken as the listing was read (the
// flowchart rewrites the line list into pseudo-code afterwards).
class AnchorTable {
 public:
  AnchorTable() = default;
  explicit AnchorTable(const TListSyn& lines);

  // The anchor of the first addressed line at `address`; nullopt when no
  // line holds that address.
  std::optional<CodeAnchor> At(std::uint16_t address) const;

  // Where the line `anchor` described, last seen at `oldAddress`, is now: the
  // same label, offset and text; failing that, the same label and text
  // nearest the old offset; failing that, it stays (Unchanged when the old
  // address still holds the same text under another label, else Lost).
  Placement Place(const CodeAnchor& anchor, std::uint16_t oldAddress) const;

 private:
  struct Row {
    std::uint16_t address = 0;
    CodeAnchor anchor;
  };
  const Row* FirstAt(std::uint16_t address) const;
  std::vector<Row> rows_;
};

// "LABEL+OFFSET" ("+OFFSET" above the first label).
std::string AnchorWhere(const CodeAnchor& anchor);

// The text as anchors compare it: trimmed, runs of blanks and tabs as one blank.
std::string FoldBlanks(std::string_view text);

}  // namespace hc11
