#include "profile/profiler.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11 {

void Profiler::MapListing(const Listing& listing) {
  map_ = MapFunctions(listing);
  counters_->SetFunctionMap(map_.numberOf, map_.functions.size());
}

ProfileTable Profiler::Table(std::int64_t now) const {
  ProfileTable table;
  std::vector<std::uint64_t> exclusive(map_.functions.size() + 1, 0);
  const std::vector<std::uint16_t>& numberOf = map_.numberOf;
  for (std::uint32_t a = 0; a < 65536; ++a) {
    const std::uint64_t cycles = counters_->At(static_cast<std::uint16_t>(a)).Cycles();
    if (cycles == 0) continue;
    exclusive[numberOf.empty() ? 0 : numberOf[a]] += cycles;
    table.total += cycles;
  }
  auto percentOf = [&](std::uint64_t cycles) {
    return table.total == 0 ? 0.0 : 100.0 * static_cast<double>(cycles) / static_cast<double>(table.total);
  };
  for (std::size_t i = 0; i < map_.functions.size(); ++i) {
    const MappedFunction& f = map_.functions[i];
    FunctionProfile row;
    row.name = f.name;
    row.entry = f.entry;
    row.calls = counters_->Calls(i + 1);
    row.exclusive = exclusive[i + 1];
    row.inclusive = counters_->Inclusive(i + 1, now);
    row.percent = percentOf(row.exclusive);
    table.rows.push_back(std::move(row));
  }
  std::stable_sort(
      table.rows.begin(), table.rows.end(),
      [](const FunctionProfile& a, const FunctionProfile& b) { return a.exclusive > b.exclusive; });
  FunctionProfile outside;
  outside.name = kOutsideName;
  outside.outside = true;
  outside.calls = counters_->Calls(0);
  outside.exclusive = exclusive[0];
  outside.inclusive = exclusive[0];
  outside.percent = percentOf(exclusive[0]);
  table.rows.push_back(std::move(outside));
  return table;
}

std::vector<std::string> ProfileLines(const ProfileTable& table) {
  std::vector<std::string> lines;
  for (const FunctionProfile& row : table.rows) {
    lines.push_back(Format("profile: %s calls=%llu excl=%llu incl=%llu %.2f%%", row.name.c_str(),
                           static_cast<unsigned long long>(row.calls),
                           static_cast<unsigned long long>(row.exclusive),
                           static_cast<unsigned long long>(row.inclusive), row.percent));
  }
  return lines;
}

}  // namespace hc11
