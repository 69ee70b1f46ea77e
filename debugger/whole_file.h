// Whole-file reading for the debugger's files; saving goes through
// WriteFileWhole (core/file_write.h).
#pragma once

#include <string>
#include <string_view>

namespace hc11 {

// `missing` is set when there is no such file (not an error). Anything but a
// regular file is refused at once (a FIFO never blocks the reader); on
// failure `reason` gets the system's reason when given.
bool ReadWhole(const std::string& path, std::string& content, bool& missing, std::string* reason = nullptr);

}  // namespace hc11
