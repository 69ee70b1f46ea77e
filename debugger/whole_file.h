// Whole-file reading and writing for the debugger's files. A save goes to a
// temporary file beside the target, then replaces it, so a failed save never
// truncates the file it was meant to replace.
#pragma once

#include <string>
#include <string_view>

namespace hc11 {

bool SaveWhole(const std::string& path, std::string_view content, std::string& error);

// `missing` is set when there is no such file (not an error).
bool ReadWhole(const std::string& path, std::string& content, bool& missing);

}  // namespace hc11
