#include "debugger/break_rules_file.h"

#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::string_view kHeader = "# hc11flow : conditions des points d'arrêt\n";
constexpr std::string_view kAnchorMark = "#ancre\t";

// Tabs, line ends and backslashes inside a text would cut the line.
std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return parts;
    start = tab + 1;
  }
}

std::optional<std::uint32_t> Count(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v == 0 || v > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

// One line's fields; the problem text when it cannot be read.
std::string ParseLine(std::string_view line, BreakRulesLine& out) {
  const std::vector<std::string_view> parts = SplitTabs(line);
  if (parts.size() < 2) return "adresse et type attendus";
  const std::optional<std::uint16_t> address = StrToWord("$" + std::string(parts[0]));
  if (parts[0].empty() || parts[0].size() > 4 || !address) return "adresse hexadécimale attendue";
  out.address = *address;
  if (parts[1].size() != 1 || std::string_view("CIim").find(parts[1][0]) == std::string_view::npos)
    return "type C, I, i ou m attendu";
  out.kind = parts[1][0];
  for (std::size_t k = 2; k < parts.size(); ++k) {
    const std::string_view field = parts[k];
    if (field == "temporaire") {
      out.extras.temporary = true;
      continue;
    }
    const std::size_t eq = field.find('=');
    if (eq == std::string_view::npos) return "champ inconnu '" + QuoteText(field) + "'";
    const std::string_view key = field.substr(0, eq);
    const std::optional<std::string> value = Unescape(field.substr(eq + 1));
    if (!value) return "échappement invalide dans '" + QuoteText(field) + "'";
    if (key == "nom") {
      out.name = *value;
    } else if (key == "si") {
      out.extras.condition = *value;
    } else if (key == "log") {
      out.extras.log = *value;
    } else if (key == "n°" || key == "tous") {
      const std::optional<std::uint32_t> n = Count(*value);
      if (!n) return "nombre de passages invalide '" + QuoteText(*value) + "'";
      out.extras.rule = key == "tous" ? HitRule::EveryNth : HitRule::Nth;
      out.extras.count = *n;
    } else {
      return "champ inconnu '" + QuoteText(key) + "'";
    }
  }
  return {};
}

std::optional<std::uint32_t> Offset(std::string_view text) {
  if (text == "0") return 0;
  return Count(text);
}

// "#ancre" lines after their mark: "point" or "surv", the address, the kind
// or type, then the fields.
std::string ParseAnchor(std::string_view line, BreakRulesRead& read) {
  const std::vector<std::string_view> parts = SplitTabs(line);
  if (parts.size() < 3) return "ancre : adresse et type attendus";
  const std::optional<std::uint16_t> address = StrToWord("$" + std::string(parts[1]));
  if (parts[1].empty() || parts[1].size() > 4 || !address) return "ancre : adresse hexadécimale attendue";
  if (parts[2].size() != 1 || parts[2][0] <= ' ') return "ancre : type attendu";
  const bool point = parts[0] == "point";
  if (!point && parts[0] != "surv") return "ancre '" + QuoteText(parts[0]) + "' inconnue";
  if (point && std::string_view("CIim").find(parts[2][0]) == std::string_view::npos)
    return "ancre : type C, I, i ou m attendu";
  BreakAnchorLine b{*address, parts[2][0], {}};
  WatchAnchorLine w{*address, parts[2][0], {}};
  for (std::size_t k = 3; k < parts.size(); ++k) {
    const std::size_t eq = parts[k].find('=');
    if (eq == std::string_view::npos) return "champ inconnu '" + QuoteText(parts[k]) + "'";
    const std::string_view key = parts[k].substr(0, eq);
    const std::optional<std::string> value = Unescape(parts[k].substr(eq + 1));
    if (!value) return "échappement invalide dans '" + QuoteText(parts[k]) + "'";
    if (point && key == "étiquette") {
      b.anchor.label = *value;
    } else if (point && key == "ligne") {
      b.anchor.text = *value;
    } else if (point && key == "décalage") {
      const std::optional<std::uint32_t> n = Offset(*value);
      if (!n) return "décalage invalide '" + QuoteText(*value) + "'";
      b.anchor.offset = *n;
    } else if (!point && key == "nom") {
      w.name = *value;
    } else {
      return "champ inconnu '" + QuoteText(key) + "'";
    }
  }
  if (point) {
    read.anchors.push_back(std::move(b));
  } else {
    read.watches.push_back(std::move(w));
  }
  return {};
}

}  // namespace

std::string EncodeBreakRules(const std::vector<Tbreak>& entries,
                             const std::vector<WatchAnchorLine>& watches) {
  std::string out(kHeader);
  for (const Tbreak& b : entries) {
    const BreakExtras& e = b.extras;
    if (!e.Any()) continue;
    out += Format("%4.4X\t%c\tnom=", b.address, b.BreakKind) + Escape(b.name);
    if (!e.condition.empty()) out += "\tsi=" + Escape(e.condition);
    if (e.rule == HitRule::Nth) out += Format("\tn°=%u", e.count);
    if (e.rule == HitRule::EveryNth) out += Format("\ttous=%u", e.count);
    if (!e.log.empty()) out += "\tlog=" + Escape(e.log);
    if (e.temporary) out += "\ttemporaire";
    out += '\n';
  }
  for (const Tbreak& b : entries) {
    if (!b.anchor) continue;
    out += std::string(kAnchorMark) + Format("point\t%4.4X\t%c\tétiquette=", b.address, b.BreakKind) +
           Escape(b.anchor->label) + Format("\tdécalage=%u\tligne=", b.anchor->offset) +
           Escape(b.anchor->text) + '\n';
  }
  for (const WatchAnchorLine& w : watches)
    out +=
        std::string(kAnchorMark) + Format("surv\t%4.4X\t%c\tnom=", w.address, w.type) + Escape(w.name) + '\n';
  return out;
}

BreakRulesRead DecodeBreakRules(std::string_view text) {
  BreakRulesRead read;
  std::size_t number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kAnchorMark.size()) == kAnchorMark) {
      const std::string problem = ParseAnchor(line.substr(kAnchorMark.size()), read);
      if (!problem.empty())
        read.problems.push_back(Format("ligne %zu : ", number) + problem + ", ligne ignorée");
      continue;
    }
    if (TrimView(line).empty() || line.front() == '#') continue;
    BreakRulesLine parsed;
    const std::string problem = ParseLine(line, parsed);
    if (problem.empty()) {
      read.lines.push_back(std::move(parsed));
    } else {
      read.problems.push_back(Format("ligne %zu : ", number) + problem + ", ligne ignorée");
    }
  }
  return read;
}

std::vector<std::string> ApplyBreakRules(BreakpointList& list, const std::vector<BreakRulesLine>& lines) {
  std::vector<std::string> problems;
  const std::vector<Tbreak>& entries = list.entries();
  std::vector<bool> taken(entries.size(), false);
  auto place = [&](const BreakRulesLine& l) -> std::optional<std::size_t> {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (!taken[i] && entries[i].address == l.address && entries[i].BreakKind == l.kind) return i;
    // The code moved since: the entry of the same name, when only one has it.
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (taken[i] || entries[i].BreakKind != l.kind || l.name.empty() || entries[i].name != l.name) continue;
      if (found) return std::nullopt;
      found = i;
    }
    return found;
  };
  for (const BreakRulesLine& l : lines) {
    const std::optional<std::size_t> index = place(l);
    const std::string where = Format("$%4.4X %c", l.address, l.kind);
    if (!index) {
      problems.push_back(where + " : aucun point d'arrêt à cette adresse, conditions ignorées");
      continue;
    }
    taken[*index] = true;
    const std::string error = list.SetExtras(*index, l.extras);
    if (!error.empty()) problems.push_back(where + " : " + error + ", conditions ignorées");
  }
  return problems;
}

std::vector<AnchorOutcome> ApplyAnchors(BreakpointList& list, const std::vector<BreakAnchorLine>& anchors,
                                        const AnchorTable& lines) {
  std::vector<AnchorOutcome> outcomes;
  std::vector<EntryMove> moves;
  const std::vector<Tbreak>& entries = list.entries();
  std::vector<bool> taken(entries.size(), false);
  for (const BreakAnchorLine& a : anchors) {
    std::size_t i = 0;
    while (i < entries.size() &&
           (taken[i] || entries[i].address != a.address || entries[i].BreakKind != a.kind))
      ++i;
    if (i == entries.size()) continue;
    taken[i] = true;
    const Placement p = lines.Place(a.anchor, a.address);
    if (p.place == AnchorPlace::Lost) {
      list.SetPlace(i, a.anchor, true);
      outcomes.push_back({i, a.address, a.address, p.place, a.anchor});
      continue;
    }
    list.SetPlace(i, lines.At(p.address), false);
    if (p.place == AnchorPlace::Moved) {
      moves.push_back({i, p.address});
      outcomes.push_back({i, a.address, p.address, p.place, a.anchor});
    }
  }
  list.Move(moves);
  return outcomes;
}

}  // namespace hc11
