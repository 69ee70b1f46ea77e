// Reads a listing held in memory line by line, the way the loader and the
// macro-directive reader share one open file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hc11 {

class LineReader {
 public:
  // The reader keeps a view: the text must outlive it.
  explicit LineReader(std::string_view text) : text_(text) {}
  explicit LineReader(std::string&&) = delete;

  // True when every character has been read (a final line ending does not
  // start another, empty line).
  bool AtEnd() const { return pos_ >= text_.size(); }

  // The next line without its LF, CR LF or lone CR ending; empty at the end.
  std::string Next();

  // Lines read so far; the number of the line Next() returned last.
  int LineNumber() const { return lineNumber_; }

  // The ending of the line Next() returned last, as it stands in the text
  // ("\n", "\r\n", "\r", or empty for a last line without one), for a
  // writer that keeps the file's line endings.
  std::string_view Ending() const { return ending_; }

 private:
  std::string_view text_;
  std::string_view ending_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
};

}  // namespace hc11
