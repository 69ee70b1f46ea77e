#include "listing/line_reader.h"

namespace hc11 {

std::string LineReader::Next() {
  if (AtEnd()) return {};
  const std::size_t start = pos_;
  const std::size_t stop = text_.find_first_of("\r\n", start);
  if (stop == std::string_view::npos) {
    pos_ = text_.size();
    ending_ = {};
  } else {
    // LF, CR LF, or a lone CR (old Mac editors) ends the line.
    pos_ = stop + 1;
    if (text_[stop] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ending_ = text_.substr(stop, pos_ - stop);
  }
  ++lineNumber_;
  return std::string(text_.substr(start, (stop == std::string_view::npos ? text_.size() : stop) - start));
}

}  // namespace hc11
