// "Fichier" -> "Programmes récents": the last programs opened, newest first,
// kept in a section of their own in the settings file ("1=path" ... "8=path").
// The other sections are left as they are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hc11 {

inline constexpr const char* kRecentSection = "Programmes récents";
inline constexpr std::size_t kRecentMax = 8;

// The list read from the whole file's text: keys 1 to 8 in their order,
// empty values and repeats dropped.
std::vector<std::string> ParseRecentPrograms(std::string_view fileText);

// The file's text with the section replaced (appended when absent).
std::string RewriteRecentPrograms(std::string_view fileText, const std::vector<std::string>& programs);

// The Options mark "Recharger automatiquement", in a section of its own
// ("Rechargement", "Auto=1"); off when absent.
inline constexpr const char* kReloadSection = "Rechargement";
bool ParseAutoReload(std::string_view fileText);
std::string RewriteAutoReload(std::string_view fileText, bool on);

// `program` first, once, and at most kRecentMax programs.
void AddRecent(std::vector<std::string>& programs, const std::string& program);
void RemoveRecent(std::vector<std::string>& programs, const std::string& program);

}  // namespace hc11
