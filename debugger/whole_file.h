// Whole-file reading for the debugger's files; saving goes through
// WriteFileWhole (core/file_write.h).
#pragma once

#include <string>
#include <string_view>

namespace hc11 {

// `missing` is set when there is no such file (not an error).
bool ReadWhole(const std::string& path, std::string& content, bool& missing);

}  // namespace hc11
