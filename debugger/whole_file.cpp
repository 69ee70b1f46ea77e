#include "debugger/whole_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hc11 {

bool SaveWhole(const std::string& path, std::string_view content, std::string& error) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      std::remove(temp.c_str());
      error = "Ecriture impossible: " + path;
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    error = "Ecriture impossible: " + path + " (" + ec.message() + ")";
    return false;
  }
  return true;
}

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
