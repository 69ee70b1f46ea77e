#include "dap/break_groups.h"

#include <cctype>

namespace hc11::dap {

bool ParseHitCondition(const std::string& text, BreakExtras& extras, std::string& message) {
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (t.empty()) {
    extras.rule = HitRule::Always;
    return true;
  }
  bool every = false;
  if (t.front() == '%' || t.front() == '*') {
    every = true;
    t.remove_prefix(1);
  }
  std::uint64_t n = 0;
  bool digits = !t.empty() && t.size() <= 9;
  for (const char c : t) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) digits = false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (!digits || n == 0) {
    message = "hit condition '" + text + "': expected N (the Nth hit) or %N (every Nth hit), N from 1";
    return false;
  }
  extras.rule = every ? HitRule::EveryNth : HitRule::Nth;
  extras.count = static_cast<std::uint32_t>(n);
  return true;
}

void BreakGroups::Enter(BreakpointList& list, const std::string& group, Group& g) {
  g.answers.resize(g.requests.size());
  for (std::size_t r = 0; r < g.requests.size(); ++r) {
    const BreakRequest& req = g.requests[r];
    BreakAnswer& a = g.answers[r];
    a.verified = false;
    a.message = req.refusal;
    if (req.places.empty()) continue;
    BreakExtras extras;
    extras.condition = req.condition;
    extras.log = req.logMessage;
    if (!ParseHitCondition(req.hitCondition, extras, a.message)) continue;
    const std::size_t first = list.entries().size();
    std::string error;
    for (const BreakPlace& p : req.places) {
      list.Append({group, p.address, p.kind, 2}, true);
      if (!extras.Any()) continue;
      error = list.SetExtras(list.entries().size() - 1, extras);
      if (!error.empty()) break;
    }
    if (!error.empty()) {
      while (list.entries().size() > first) list.Remove(list.entries().size() - 1);
      a.message = error;
      continue;
    }
    a.verified = true;
    a.address = req.places.front().address;
  }
}

void BreakGroups::Replace(BreakpointList& list, const std::string& group,
                          const std::vector<BreakRequest>& requests, std::vector<BreakAnswer>& answers) {
  list.RemoveWhere([&](const Tbreak& b) { return b.name == group; });
  Group& g = groups_[group];
  g.requests = requests;
  g.answers.assign(requests.size(), {});
  for (BreakAnswer& a : g.answers) a.id = nextId_++;
  Enter(list, group, g);
  answers = g.answers;
}

std::optional<int> BreakGroups::IdOf(const BreakpointList& list, std::size_t entry) const {
  if (entry >= list.entries().size()) return std::nullopt;
  const Tbreak& b = list.entries()[entry];
  const auto it = groups_.find(b.name);
  if (it == groups_.end()) return std::nullopt;
  const Group& g = it->second;
  for (std::size_t r = 0; r < g.requests.size(); ++r) {
    if (!g.answers[r].verified) continue;
    for (const BreakPlace& p : g.requests[r].places)
      if (p.address == b.address && p.kind == b.BreakKind) return g.answers[r].id;
  }
  return std::nullopt;
}

std::string BreakGroups::GroupOf(const BreakpointList& list, std::size_t entry) const {
  if (entry >= list.entries().size() || !groups_.contains(list.entries()[entry].name)) return {};
  return list.entries()[entry].name;
}

void BreakGroups::Reapply(BreakpointList& list) {
  for (auto& [name, g] : groups_) {
    list.RemoveWhere([&](const Tbreak& b) { return b.name == name; });
    Enter(list, name, g);
  }
}

}  // namespace hc11::dap
