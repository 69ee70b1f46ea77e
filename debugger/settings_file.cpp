#include "debugger/settings_file.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/file_write.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/whole_file.h"
#include "listing/line_reader.h"

namespace hc11 {

namespace {

struct Line {
  std::string text;
  std::string ending;  // "\r\n", "\n", "\r" or empty on the last line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  for (LineReader reader(text); !reader.AtEnd();) {
    std::string line = reader.Next();
    lines.push_back(Line{std::move(line), std::string(reader.Ending())});
  }
  return lines;
}

// The ending new lines get: the file's first one, LF in a file without any.
std::string NewlineOf(const std::vector<Line>& lines) {
  for (const Line& l : lines)
    if (!l.ending.empty()) return l.ending;
  return "\n";
}

// A line that ends a section: the next header, or any line that begins with "[".
bool EndsSection(std::string_view line) {
  const std::string_view t = TrimView(line);
  return !t.empty() && t.front() == '[';
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

// The section name of a "[name]" line.
std::optional<std::string> SectionOf(std::string_view line) {
  const std::string_view t = TrimView(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return Trim(t.substr(1, t.size() - 2));
}

// The key of a "key=value" line.
std::optional<std::string> KeyOf(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

struct Owned {
  std::string section, key, value;
};

std::vector<Owned> OwnedKeys(const Settings& s) {
  std::vector<Owned> o = {
      {"Fichier", "NomFichLst", s.NomFichLst},
      {"Fichier", "DirNameS", s.DirNameS},
      {"EnvironForm", "H", std::to_string(s.EnvH)},
      {"EnvironForm", "T", std::to_string(s.EnvT)},
      {"EnvironForm", "L", std::to_string(s.EnvL)},
      {"EnvironForm", "W", std::to_string(s.EnvW)},
      {"EnvironForm", "Ws", std::to_string(s.EnvWs)},
      {"EnvironForm", "v", s.EnvVisible ? "1" : "0"},
      {"MemoTrace", "h", std::to_string(s.MemoTraceH)},
      {"ListBoxSurv", "h", std::to_string(s.ListBoxSurvH)},
      {"FDump", "ChoixDump", std::to_string(s.ChoixDump)},
  };
  for (std::size_t i = 0; i < kOptionItems.size(); ++i)
    o.push_back({"EnvironForm", kOptionItems[i].component, s.marks.Checked(i) ? "1" : "0"});
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i)
    o.push_back({"Reglages", kReglagesDefaults[i].first, s.reglages[i]});
  return o;
}

// Decimal integer as profile files read it: a bad number gives the default.
int ReadInt(const std::string& text, int fallback) {
  const auto v = StrToIntSigned(Trim(text));
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return fallback;
  return static_cast<int>(*v);
}

bool ReadBool(const std::string& text, bool fallback) {
  return ReadInt(text, fallback ? 1 : 0) != 0;
}

// A patch token: decimal digits, or "$" and hex digits; at most 32 bits.
std::optional<std::uint32_t> PatchNumber(std::string_view t) {
  if (t.empty()) return std::nullopt;
  const bool hex = t.front() == '$';
  if (hex) t.remove_prefix(1);
  if (t.empty() || t.size() > 8) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : t) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * (hex ? 16 : 10) + static_cast<unsigned>(d);
  }
  if (v > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

}  // namespace

Settings::Settings() {
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i) reglages[i] = kReglagesDefaults[i].second;
}

std::string Settings::Reglage(std::string_view key) const {
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i)
    if (key == kReglagesDefaults[i].first) return reglages[i];
  return {};
}

void Settings::SetReglage(std::string_view key, std::string value) {
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i)
    if (key == kReglagesDefaults[i].first) reglages[i] = std::move(value);
}

std::string ReglageValueError(std::string_view key, std::string_view value) {
  if (key == "PortCom") return {};
  const std::string_view v = TrimView(value);
  if (key == "Pile basse") {
    if (StrToWord(v)) return {};
    return std::string(key) + ": '" + QuoteText(value) + "' n'est pas une adresse (0 à 65535 ou $0 à $FFFF)";
  }
  const bool number =
      !v.empty() && v.size() <= 9 && v.find_first_not_of("0123456789") == std::string_view::npos;
  if (number) return {};
  return std::string(key) + ": '" + std::string(value) + "' n'est pas un nombre valide";
}

Settings ParseSettings(std::string_view text) {
  Settings s;
  std::string section;
  bool inPatch = false;
  for (const Line& l : SplitLines(text)) {
    // Patch lines end only at a line beginning with "[".
    if (inPatch && !l.text.starts_with('[')) {
      s.patchLines.push_back(l.text);
      continue;
    }
    if (const auto name = SectionOf(l.text)) {
      section = *name;
      inPatch = EqualNoCase(section, "PatchCode");
      continue;
    }
    if (l.text.starts_with('[')) {
      inPatch = false;
      section.clear();
      continue;
    }
    const auto key = KeyOf(l.text);
    if (!key) continue;
    const std::string value = l.text.substr(l.text.find('=') + 1);
    auto is = [&](std::string_view sec, std::string_view k) {
      return EqualNoCase(section, sec) && EqualNoCase(*key, k);
    };
    if (is("Fichier", "NomFichLst")) s.NomFichLst = value;
    if (is("Fichier", "DirNameS")) s.DirNameS = value;
    if (is("EnvironForm", "H")) s.EnvH = ReadInt(value, s.EnvH);
    if (is("EnvironForm", "T")) s.EnvT = ReadInt(value, s.EnvT);
    if (is("EnvironForm", "L")) s.EnvL = ReadInt(value, s.EnvL);
    if (is("EnvironForm", "W")) s.EnvW = ReadInt(value, s.EnvW);
    if (is("EnvironForm", "Ws")) s.EnvWs = ReadInt(value, s.EnvWs);
    if (is("EnvironForm", "v")) s.EnvVisible = ReadBool(value, s.EnvVisible);
    if (is("MemoTrace", "h")) s.MemoTraceH = ReadInt(value, s.MemoTraceH);
    if (is("ListBoxSurv", "h")) s.ListBoxSurvH = ReadInt(value, s.ListBoxSurvH);
    if (is("FDump", "ChoixDump")) s.ChoixDump = ReadInt(value, s.ChoixDump);
    if (EqualNoCase(section, "EnvironForm")) {
      for (std::size_t i = 0; i < kOptionItems.size(); ++i)
        if (EqualNoCase(*key, kOptionItems[i].component)) s.marks.Set(i, ReadBool(value, s.marks.Checked(i)));
    }
    // Of "Reglages" only the serial link's port and rate, the GDB server's
    // port and the low-stack address are read back; the editor's other values
    // start from their defaults.
    for (const char* key : {"PortCom", "BaudRate", "PortGdb"})
      if (is("Reglages", key)) s.SetReglage(key, Trim(value));
    if (is("Reglages", "Pile basse") && ReglageValueError("Pile basse", value).empty())
      s.SetReglage("Pile basse", Trim(value));
  }
  return s;
}

std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view text,
                                                             std::string_view section) {
  std::vector<std::pair<std::string, std::string>> entries;
  bool inside = false;
  for (const Line& l : SplitLines(text)) {
    if (EndsSection(l.text)) {
      const auto name = SectionOf(l.text);
      inside = name && EqualNoCase(*name, section);
      continue;
    }
    if (!inside) continue;
    if (const auto key = KeyOf(l.text)) entries.emplace_back(*key, l.text.substr(l.text.find('=') + 1));
  }
  return entries;
}

std::string ReplaceSection(std::string_view text, std::string_view section,
                           const std::vector<std::string>& lines) {
  const std::vector<Line> original = SplitLines(text);
  const std::string newline = NewlineOf(original);
  std::string block = "[" + std::string(section) + "]" + newline;
  for (const std::string& line : lines) block += line + newline;
  std::string out;
  bool inside = false, written = false;
  for (const Line& l : original) {
    if (EndsSection(l.text)) {
      const auto name = SectionOf(l.text);
      inside = name && EqualNoCase(*name, section);
      if (inside && !written) {
        out += block;
        written = true;
      }
    }
    if (!inside) out += l.text + l.ending;
  }
  if (!written) {
    if (!original.empty() && original.back().ending.empty()) out += newline;
    out += block;
  }
  return out;
}

std::string RewriteSettings(std::string_view original, const Settings& s) {
  std::vector<Line> lines = SplitLines(original);
  const std::string newline = NewlineOf(lines);
  auto insert = [&](std::size_t at, std::string text) {
    if (at > 0 && lines[at - 1].ending.empty()) lines[at - 1].ending = newline;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline});
  };
  for (const Owned& o : OwnedKeys(s)) {
    // The section's extent: its header, and the index after its last key line.
    std::optional<std::size_t> header;
    std::size_t lastKey = 0;
    bool done = false;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
      if (const auto name = SectionOf(lines[i].text)) {
        if (header) break;
        if (EqualNoCase(*name, o.section)) header = lastKey = i;
        continue;
      }
      if (!header) continue;
      const auto key = KeyOf(lines[i].text);
      if (!key) continue;
      lastKey = i;
      if (EqualNoCase(*key, o.key)) {
        lines[i].text = o.key + "=" + o.value;
        done = true;
      }
    }
    if (done) continue;
    if (!header) {
      insert(lines.size(), "[" + o.section + "]");
      lastKey = lines.size() - 1;
    }
    insert(lastKey + 1, o.key + "=" + o.value);
  }
  std::string out;
  for (const Line& l : lines) out += l.text + l.ending;
  return out;
}

std::vector<std::string> ApplyPatchCode(const std::vector<std::string>& lines,
                                        std::array<std::uint8_t, 65536>& memory) {
  std::vector<std::string> errors;
  for (const std::string& line : lines) {
    const std::vector<std::string> t = SplitBlanksAndCommas(line);
    if (t.empty() || !PatchNumber(t[0])) continue;
    const auto offset = t.size() > 1 ? PatchNumber(t[1]) : std::nullopt;
    const auto value = t.size() > 2 ? PatchNumber(t[2]) : std::nullopt;
    if (!offset || !value) {
      errors.push_back("PatchCode: ligne invalide \"" + QuoteText(line) + "\"");
      continue;
    }
    const std::uint64_t address = std::uint64_t{*PatchNumber(t[0])} + *offset;
    if (address > 0xFFFF) {
      errors.push_back("PatchCode: adresse hors limites \"" + QuoteText(line) + "\"");
    } else if (*value > 255) {
      errors.push_back("PatchCode: valeur hors limites \"" + QuoteText(line) + "\"");
    } else {
      memory[address] = static_cast<std::uint8_t>(*value);
    }
  }
  return errors;
}

std::string SettingsPath(const std::string& executablePath, const std::string& chosen) {
  if (!chosen.empty()) return chosen;
  std::filesystem::path beside(executablePath);
  beside.replace_extension(".ini");
  const std::string folder = beside.has_parent_path() ? beside.parent_path().string() : ".";
  if (::access(folder.c_str(), W_OK) == 0) return beside.string();
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr) {
    config = std::string(home) + "/.config";
  } else {
    config = ".";
  }
  return config + "/hc11flow/hc11flow.ini";
}

bool ReadSettingsFile(const std::string& path, Settings& s, std::string& error) {
  std::string text, reason;
  bool missing = false;
  if (!ReadWhole(path, text, missing, &reason)) {
    error = QuoteText(path) + " : lecture impossible (" + reason + ")";
    return false;
  }
  s = ParseSettings(text);
  return true;
}

bool SaveSettingsFile(const std::string& path, const Settings& s, std::string& error) {
  std::string text, reason;
  bool missing = false;
  if (!ReadWhole(path, text, missing, &reason)) {
    // Rewriting a file we could not read would lose its foreign lines.
    error = "lecture impossible (" + reason + ")";
    return false;
  }
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  return WriteFileWhole(path, RewriteSettings(text, s), error);
}

}  // namespace hc11
