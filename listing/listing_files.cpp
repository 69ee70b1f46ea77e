#include "listing/listing_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/text_util.h"

namespace hc11 {

std::string ListingBaseOf(std::string_view path) {
  constexpr std::string_view kExt = ".lst";
  if (path.size() > kExt.size() && ToLower(path.substr(path.size() - kExt.size())) == kExt) {
    const char before = path[path.size() - kExt.size() - 1];
    if (before != '/' && before != '\\') path.remove_suffix(kExt.size());
  }
  return std::string(path);
}

std::string ListingFileName(std::string_view programName) {
  return ListingBaseOf(programName) + ".lst";
}

std::string FonctFileName(std::string_view programName) {
  return ListingBaseOf(programName) + "_Fonct.txt";
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

}  // namespace hc11
