#include "workbench/recent_programs.h"

#include <algorithm>

#include "core/text_util.h"
#include "debugger/settings_file.h"

namespace hc11 {

std::vector<std::string> ParseRecentPrograms(std::string_view fileText) {
  std::vector<std::pair<int, std::string>> keyed;
  for (const auto& [key, value] : ReadSection(fileText, kRecentSection)) {
    const std::optional<std::uint16_t> n = StrToWord(key);
    const std::string path = Trim(value);
    if (!n || *n < 1 || *n > kRecentMax || path.empty()) continue;
    keyed.emplace_back(*n, path);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> programs;
  for (const auto& [n, path] : keyed)
    if (std::find(programs.begin(), programs.end(), path) == programs.end()) programs.push_back(path);
  if (programs.size() > kRecentMax) programs.resize(kRecentMax);
  return programs;
}

std::string RewriteRecentPrograms(std::string_view fileText, const std::vector<std::string>& programs) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < programs.size() && i < kRecentMax; ++i)
    lines.push_back(std::to_string(i + 1) + "=" + FieldText(programs[i]));
  return ReplaceSection(fileText, kRecentSection, lines);
}

bool ParseAutoReload(std::string_view fileText) {
  bool on = false;
  for (const auto& [key, value] : ReadSection(fileText, kReloadSection))
    if (key == "Auto") on = Trim(value) == "1";
  return on;
}

std::string RewriteAutoReload(std::string_view fileText, bool on) {
  return ReplaceSection(fileText, kReloadSection, {std::string("Auto=") + (on ? "1" : "0")});
}

void AddRecent(std::vector<std::string>& programs, const std::string& program) {
  RemoveRecent(programs, program);
  programs.insert(programs.begin(), program);
  if (programs.size() > kRecentMax) programs.resize(kRecentMax);
}

void RemoveRecent(std::vector<std::string>& programs, const std::string& program) {
  programs.erase(std::remove(programs.begin(), programs.end(), program), programs.end());
}

}  // namespace hc11
