#include "listing/line_reader.h"

namespace hc11 {

std::string LineReader::Next() {
  if (AtEnd()) return {};
  const std::size_t start = pos_;
  const std::size_t newline = text_.find('\n', start);
  std::size_t stop = newline == std::string_view::npos ? text_.size() : newline;
  pos_ = newline == std::string_view::npos ? text_.size() : newline + 1;
  if (stop > start && text_[stop - 1] == '\r') --stop;
  ++lineNumber_;
  return std::string(text_.substr(start, stop - start));
}

}  // namespace hc11
