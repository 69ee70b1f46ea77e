// Builds assembler listing lines in the loader's column layout, dumps line
// records one per string, and gives tests a temporary folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_util.h"
#include "listing/listing_types.h"

namespace hc11::test {

// Address in columns 1-4, code bytes from 6, line number (or "1M") right
// aligned in 23-27, `mark` in 28, source from 29.
inline std::string Lst(std::string_view addr, std::string_view code, std::string_view number,
                       std::string_view source, char mark = ' ') {
  std::string line(28, ' ');
  line.replace(0, addr.size(), addr);
  line.replace(5, code.size(), code);
  line.replace(27 - number.size(), number.size(), number);
  line[27] = mark;
  return line + std::string(source);
}

inline std::string Join(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

// "addr|end|label|text|target|comment|op1 op2" per record.
inline std::vector<std::string> Records(const TListSyn& list) {
  std::vector<std::string> out;
  for (const auto& r : list)
    out.push_back(r.AddrText + "|" + r.AddrEndText + "|" + r.Label + "|" + r.Text + "|" + r.Target + "|" +
                  r.Comment + "|" + Format("%02X %02X", unsigned{r.Op1}, unsigned{r.Op2}));
  return out;
}

class TempDir {
 public:
  TempDir()
      : path_(std::filesystem::temp_directory_path() /
              ("hc11-listing-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(std::string_view name) const { return (path_ / name).string(); }
  void Write(std::string_view name, std::string_view content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace hc11::test
