#include "listing/listing_files.h"

#include <filesystem>
#include <system_error>

#include "core/file_read.h"
#include "core/message_text.h"
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
  std::string content;
  ReadProblem problem;
  if (ReadRegularFile(path, content, problem)) return content;
  if (reason != nullptr) *reason = problem.reason;
  return std::nullopt;
}

std::string ListingProblemText(std::string_view programName, std::string_view shownName) {
  const std::string file = ListingFileName(programName);
  std::string reason;
  if (!Exists(file) || ReadWholeFile(file, &reason)) return "Manque fichier LST " + std::string(shownName);
  return Format("Impossible de lire le fichier LST %s : %s", QuoteText(file).c_str(), reason.c_str());
}

}  // namespace hc11
