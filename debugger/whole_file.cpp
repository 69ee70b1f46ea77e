#include "debugger/whole_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace hc11 {

bool ReadWhole(const std::string& path, std::string& content, bool& missing) {
  std::error_code ec;
  missing = !std::filesystem::exists(path, ec);
  if (missing) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  content = buffer.str();
  return !in.bad();
}

}  // namespace hc11
