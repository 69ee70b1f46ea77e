// Cutting one line of assembler source into its fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hc11::lstgen {

struct SourceFields {
  std::string label;    // without a trailing ':'
  std::string op;       // mnemonic, directive or macro name, as written
  std::string operand;  // blank-trimmed
  std::string comment;  // the text after ';', right-trimmed
  bool hasComment = false;

  bool Empty() const { return label.empty() && op.empty(); }
};

struct SplitResult {
  SourceFields fields;
  std::string error;  // empty when the line is well formed
};

// Tabs become blanks up to the next multiple of 8; other control characters
// (a CR before the line feed included) are dropped.
std::string ExpandTabs(std::string_view line);

// A label starts in column 1 (an optional ':' ends it), or is an indented
// first word ending in ':'. The comment starts at the first ';' that is not
// inside quotes.
SplitResult SplitSourceLine(std::string_view line);

// Splits an operand at the commas that are not inside quotes; each part is
// blank-trimmed. An empty operand gives no parts.
std::vector<std::string> SplitOperands(std::string_view operand);

}  // namespace hc11::lstgen
