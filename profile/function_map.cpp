#include "profile/function_map.h"

#include <algorithm>
#include <map>
#include <optional>

#include "core/text_util.h"

namespace hc11 {

namespace {

std::optional<std::uint16_t> EntryOf(const Listing& listing, const std::string& name) {
  const TSynElem* caseless = nullptr;
  for (const TSynElem& e : listing.LineList) {
    if (e.AddrText.empty() || e.Label.empty()) continue;
    if (e.Label == name) {
      caseless = &e;
      break;
    }
    if (caseless == nullptr && ToLower(e.Label) == ToLower(name)) caseless = &e;
  }
  if (caseless == nullptr) return std::nullopt;
  return StrToWord("$" + caseless->AddrText);
}

}  // namespace

FunctionMap MapFunctions(const Listing& listing) {
  FunctionMap map;
  map.numberOf.assign(65536, 0);
  std::map<std::uint16_t, std::string> byEntry;
  for (const auto& [name, elem] : listing.FunctionList.entries) {
    (void)elem;
    if (const auto entry = EntryOf(listing, name)) byEntry.emplace(*entry, name);
  }
  if (byEntry.empty()) return map;

  std::uint32_t lastListed = 0;
  for (std::uint32_t a = 0; a < 65536; ++a)
    if ((*listing.ListingMap)[a] != 0) lastListed = a;

  for (auto it = byEntry.begin(); it != byEntry.end() && map.functions.size() < 0xFFFF; ++it) {
    const auto next = std::next(it);
    std::uint32_t last =
        next != byEntry.end() ? next->first - 1u : std::max<std::uint32_t>(lastListed, it->first);
    map.functions.push_back({it->second, it->first, static_cast<std::uint16_t>(last)});
    const auto number = static_cast<std::uint16_t>(map.functions.size());
    for (std::uint32_t a = it->first; a <= last; ++a) map.numberOf[a] = number;
  }
  return map;
}

}  // namespace hc11
