#include "workbench/register_rows.h"

#include "core/text_util.h"
#include "debugger/hex_entry.h"

namespace hc11 {

namespace {

struct Word {
  const char* name;
  const char* title;
  int digits;
};
constexpr std::array<Word, 8> kWords = {{
    {"PC", "compteur programme", 4},
    {"A", "accumulateur A", 2},
    {"B", "accumulateur B", 2},
    {"D", "accumulateur double A:B", 4},
    {"X", "registre d'index X", 4},
    {"Y", "registre d'index Y", 4},
    {"SP", "pointeur de pile", 4},
    {"CC", "registre de conditions", 2},
}};
constexpr std::array<const char*, 8> kFlagTitles = {"S: arrêt du mode STOP interdit",
                                                    "X: masque de XIRQ",
                                                    "H: demi-retenue",
                                                    "I: masque des interruptions",
                                                    "N: négatif",
                                                    "Z: zéro",
                                                    "V: dépassement",
                                                    "C: retenue"};

std::uint32_t Value(const CpuState& c, std::string_view name) {
  if (name == "PC") return c.PC;
  if (name == "A") return c.A;
  if (name == "B") return c.B;
  if (name == "D") return static_cast<std::uint32_t>(c.A << 8 | c.B);
  if (name == "X") return c.X;
  if (name == "Y") return c.Y;
  if (name == "SP") return c.SP;
  return c.CC;
}

}  // namespace

std::vector<RegisterRow> RegisterRows(const CpuState& now, const CpuState& before) {
  std::vector<RegisterRow> rows;
  for (const Word& w : kWords) {
    const std::uint32_t v = Value(now, w.name);
    rows.push_back({w.name, w.title, Format("%0*X", w.digits, v), v != Value(before, w.name)});
  }
  for (std::size_t i = 0; i < kFlagNames.size(); ++i) {
    const int bit = 7 - static_cast<int>(i);
    const bool set = (now.CC >> bit & 1) != 0;
    rows.push_back({std::string("CC.") + kFlagNames[i], kFlagTitles[i], set ? "1" : "0",
                    set != ((before.CC >> bit & 1) != 0)});
  }
  return rows;
}

std::string SetRegisterText(CpuState& cpu, std::string_view name, std::string_view text) {
  const std::string typed = Trim(text);
  for (std::size_t i = 0; i < kFlagNames.size(); ++i) {
    if (name != std::string("CC.") + kFlagNames[i]) continue;
    if (typed != "0" && typed != "1") return std::string(name) + ": 0 ou 1 attendu";
    const auto bit = static_cast<std::uint8_t>(1u << (7 - i));
    cpu.CC =
        typed == "1" ? static_cast<std::uint8_t>(cpu.CC | bit) : static_cast<std::uint8_t>(cpu.CC & ~bit);
    return {};
  }
  const bool isByte = name == "A" || name == "B" || name == "CC";
  const HexEntry e =
      ParseHexEntry(!typed.empty() && typed[0] == '$' ? typed.substr(1) : typed, isByte ? 0xFF : 0xFFFF);
  if (!e.value) return std::string(name) + ": " + e.error;
  const auto v = static_cast<std::uint16_t>(*e.value);
  if (name == "PC")
    cpu.PC = v;
  else if (name == "A")
    cpu.A = static_cast<std::uint8_t>(v);
  else if (name == "B")
    cpu.B = static_cast<std::uint8_t>(v);
  else if (name == "D") {
    cpu.A = static_cast<std::uint8_t>(v >> 8);
    cpu.B = static_cast<std::uint8_t>(v);
  } else if (name == "X")
    cpu.X = v;
  else if (name == "Y")
    cpu.Y = v;
  else if (name == "SP")
    cpu.SP = v;
  else if (name == "CC")
    cpu.CC = static_cast<std::uint8_t>(v);
  else
    return std::string(name) + ": registre inconnu";
  return {};
}

}  // namespace hc11
