// The settings file: window and pane sizes, the last listing, the Options
// marks, the settings editor's values and the free "PatchCode" lines. Saving
// rewrites only the keys this program owns; every other line (patches,
// comments, foreign sections and keys, line endings) is kept byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "debugger/options.h"

namespace hc11 {

// The settings editor's keys and the values it starts with every time.
inline constexpr std::array<std::pair<const char*, const char*>, 9> kReglagesDefaults = {{
    {"TempoClavier", "150"},
    {"PatchAcc", "10"},
    {"CoefQuartz", "1"},
    {"Rafraichissement", "10000"},
    {"PortCom", "com1"},
    {"BaudRate", "9600"},
    {"MemoireRetour", "256"},  // MiB kept for going back in time
    {"PortGdb", "1234"},       // the GDB server's port, kept from one start to the next
    {"Pile basse", "0"},       // SP below this address is said once per crossing (0: never); kept
}};

struct Settings {
  std::string NomFichLst;  // ListingBase
  std::string DirNameS;    // file name of the last ".s" file, written only
  // Board panel.
  int EnvH = 0, EnvT = 500, EnvL = 500, EnvW = 0, EnvWs = 0;
  bool EnvVisible = true;
  int MemoTraceH = 200;
  int ListBoxSurvH = 200;
  int ChoixDump = 0;
  OptionMarks marks;
  std::array<std::string, kReglagesDefaults.size()> reglages;  // editor values
  std::vector<std::string> patchLines;                         // "PatchCode", never written

  Settings();
  // The settings editor's value for `key`; unknown keys are ignored.
  std::string Reglage(std::string_view key) const;
  void SetReglage(std::string_view key, std::string value);
};

// Why `value` cannot be the settings editor's value of `key`, empty when it
// can: every key but the port name holds a decimal number; "Pile basse" an
// address, decimal or "$" hexadecimal.
std::string ReglageValueError(std::string_view key, std::string_view value);

// Reads every key with its default.
Settings ParseSettings(std::string_view text);

// The file's new text: `original` with the owned keys rewritten in place and
// the missing ones added, in their usual order, at the end of their section.
std::string RewriteSettings(std::string_view original, const Settings& s);

// A section kept by another part of the program: its "key=value" lines
// (key trimmed, value as written), from every section of that name (any case).
std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view text, std::string_view section);

// `text` with every section of that name dropped and one holding `lines`
// written where the first stood (at the end when there was none); every
// other line keeps its text and its ending byte for byte, and the new lines
// end as the file's first line does.
std::string ReplaceSection(std::string_view text, std::string_view section,
                           const std::vector<std::string>& lines);

// Applies "PatchCode" lines (base, offset and value, decimal or "$" hex,
// separated by blanks or commas) to `memory`. A line whose first token is not
// a number is ignored; a patch beyond $FFFF or a value above 255 is refused.
// Returns one message per refused line.
std::vector<std::string> ApplyPatchCode(const std::vector<std::string>& lines,
                                        std::array<std::uint8_t, 65536>& memory);

// Where the settings live: `chosen` when given; otherwise beside the
// executable with ".ini", or, where that folder is not writable,
// $XDG_CONFIG_HOME/hc11flow/hc11flow.ini.
std::string SettingsPath(const std::string& executablePath, const std::string& chosen);

// File forms. A missing file gives the defaults (true); an unreadable one
// false with `error`.
bool ReadSettingsFile(const std::string& path, Settings& s, std::string& error);
// Writes the file whole, keeping the lines it does not own.
bool SaveSettingsFile(const std::string& path, const Settings& s, std::string& error);

}  // namespace hc11
