#include "tools/lstgen/source_line.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11::lstgen {

namespace {

bool IsBlank(char c) {
  return c == ' ';
}

// Position of the quote that closes the one at `open`, or npos.
std::size_t ClosingQuote(std::string_view text, std::size_t open) {
  return text.find(text[open], open + 1);
}

std::string RightTrim(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

std::string ExpandTabs(std::string_view line) {
  std::string out;
  for (char c : line) {
    if (c == '\t') {
      do out.push_back(' ');
      while (out.size() % 8 != 0);
    } else if (static_cast<unsigned char>(c) >= ' ') {
      out.push_back(c);
    }
  }
  return out;
}

SplitResult SplitSourceLine(std::string_view line) {
  SplitResult result;
  SourceFields& f = result.fields;

  std::size_t commentAt = std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ';') {
      commentAt = i;
      break;
    }
    if (c == '"' || c == '\'') {
      const std::size_t close = ClosingQuote(line, i);
      if (close == std::string_view::npos) {
        result.error = "unterminated string";
        return result;
      }
      i = close;
    }
  }
  std::string_view code = line.substr(0, commentAt);
  if (commentAt != std::string_view::npos) {
    f.hasComment = true;
    f.comment = RightTrim(line.substr(commentAt + 1));
  }

  std::size_t pos = 0;
  auto word = [&]() {
    while (pos < code.size() && IsBlank(code[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < code.size() && !IsBlank(code[pos])) ++pos;
    return code.substr(start, pos - start);
  };

  if (!code.empty() && !IsBlank(code.front())) {
    std::size_t end = 0;
    while (end < code.size() && !IsBlank(code[end]) && code[end] != ':') ++end;
    f.label = std::string(code.substr(0, end));
    pos = end < code.size() && code[end] == ':' ? end + 1 : end;
  } else {
    const std::size_t save = pos;
    const std::string_view first = word();
    if (first.size() > 1 && first.back() == ':')
      f.label = std::string(first.substr(0, first.size() - 1));
    else
      pos = save;
  }
  f.op = std::string(word());
  f.operand = Trim(code.substr(pos));
  return result;
}

std::vector<std::string> SplitOperands(std::string_view operand) {
  std::vector<std::string> parts;
  if (TrimView(operand).empty()) return parts;
  std::size_t start = 0;
  std::size_t i = 0;
  while (true) {
    if (i >= operand.size() || operand[i] == ',') {
      parts.push_back(Trim(operand.substr(start, std::min(i, operand.size()) - start)));
      if (i >= operand.size()) break;
      start = ++i;
    } else if (operand[i] == '"' || operand[i] == '\'') {
      const std::size_t close = ClosingQuote(operand, i);
      i = close == std::string_view::npos ? operand.size() : close + 1;
    } else {
      ++i;
    }
  }
  return parts;
}

}  // namespace hc11::lstgen
