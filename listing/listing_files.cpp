#include "listing/listing_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::string_view kListingExt = ".lst";

bool EndsWithListingExt(std::string_view path) {
  if (path.size() <= kListingExt.size()) return false;
  if (ToLower(path.substr(path.size() - kListingExt.size())) != kListingExt) return false;
  const char before = path[path.size() - kListingExt.size() - 1];
  return before != '/' && before != '\\';
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Assemblers differ in the case of the extensions they write.
std::string FirstExisting(std::string_view base, std::string_view usual, std::string_view other) {
  std::string name = std::string(base) + std::string(usual);
  if (Exists(name)) return name;
  std::string alternative = std::string(base) + std::string(other);
  return Exists(alternative) ? alternative : name;
}

}  // namespace

std::string ListingBaseOf(std::string_view path) {
  if (EndsWithListingExt(path)) path.remove_suffix(kListingExt.size());
  return std::string(path);
}

std::string ListingFileName(std::string_view programName) {
  if (EndsWithListingExt(programName)) return std::string(programName);
  return FirstExisting(programName, ".lst", ".LST");
}

std::string ProgramImageName(std::string_view base) {
  return FirstExisting(base, ".HEX", ".hex");
}

std::string FonctFileName(std::string_view programName) {
  return ListingBaseOf(programName) + "_Fonct.txt";
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* reason) {
  const auto fail = [&](std::string why) -> std::optional<std::string> {
    if (reason != nullptr) *reason = std::move(why);
    return std::nullopt;
  };
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec) return fail(ec.message());
  if (std::filesystem::is_directory(status)) return fail(std::strerror(EISDIR));
  if (!std::filesystem::is_regular_file(status)) return fail("not a regular file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(std::strerror(errno));
  // Read in one piece: listings run to tens of megabytes.
  std::string content;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec) content.reserve(static_cast<std::size_t>(size));
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    content.append(chunk, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return fail("read error");
  return content;
}

std::string ListingProblemText(std::string_view programName, std::string_view shownName) {
  const std::string file = ListingFileName(programName);
  std::string reason;
  if (!Exists(file) || ReadWholeFile(file, &reason)) return "Manque fichier LST " + std::string(shownName);
  return Format("Impossible de lire le fichier LST %s : %s", file.c_str(), reason.c_str());
}

}  // namespace hc11
