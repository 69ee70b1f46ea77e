#include "debugger/views.h"

#include "core/text_util.h"
#include "debugger/hex_entry.h"
#include "listing/symbols.h"

namespace hc11 {

std::vector<std::string> StackLines(const Machine& m, const Listing& listing) {
  std::vector<std::string> lines;
  std::uint32_t p = m.StackTop;
  while (p > m.cpu.SP) {
    const auto at = static_cast<std::uint16_t>(p);
    if (m.WriteTagTable[at].tag == TagReturnAddress && p >= 1) {
      const auto high = static_cast<std::uint16_t>(p - 1);
      const auto r = static_cast<std::uint16_t>(m.Memory[high] << 8 | m.Memory[at]);
      p -= 2;
      const std::string function = FunctionOfAddress(listing.LabelList, r);
      if (function.empty()) {
        lines.emplace_back("err fonct");
        continue;
      }
      const std::string addr = Format("%4.4X", r);
      std::string text = "nil";
      for (const TSynElem& e : listing.LineList) {
        if (ToLower(e.AddrText) == ToLower(addr)) {
          text = e.Text;
          break;
        }
      }
      lines.push_back(
          Format("%4.4x %4.4x %s %s", r, static_cast<unsigned>(p), function.c_str(), text.c_str()));
    } else {
      lines.push_back(Format("      %4.4x [%2.2x] %s", at, m.Memory[at], ""));
      --p;
    }
  }
  return lines;
}

bool RebuildStackView(Machine& m, const Listing& listing, std::vector<std::string>& lines) {
  if (!m.StackChanged) return false;
  m.StackChanged = false;
  lines = StackLines(m, listing);
  return true;
}

namespace {

std::uint16_t* Word(Machine& m, std::string_view name) {
  if (name == "X") return &m.cpu.X;
  if (name == "Y") return &m.cpu.Y;
  if (name == "SP") return &m.cpu.SP;
  if (name == "PC") return &m.cpu.PC;
  return nullptr;
}

std::uint8_t* Byte(Machine& m, std::string_view name) {
  if (name == "A") return &m.cpu.A;
  if (name == "B") return &m.cpu.B;
  if (name == "CC") return &m.cpu.CC;
  return nullptr;
}

}  // namespace

std::optional<std::uint16_t> RegisterValue(const Machine& m, std::string_view name) {
  auto& mm = const_cast<Machine&>(m);
  if (const std::uint16_t* w = Word(mm, name)) return *w;
  if (const std::uint8_t* b = Byte(mm, name)) return *b;
  return std::nullopt;
}

std::string RegisterPromptDefault(const Machine& m, std::string_view name) {
  const auto v = RegisterValue(m, name);
  return v ? Format("%2.2X", *v) : std::string();
}

std::string RegisterPromptText(const Machine& m, std::string_view name) {
  const auto v = RegisterValue(m, name);
  if (!v) return {};
  return Format("%.*s=$%s=%d", static_cast<int>(name.size()), name.data(),
                RegisterPromptDefault(m, name).c_str(), *v);
}

namespace {

// A byte of the character column as UTF-8 text: control characters (C0 and
// C1) would break the line and show as a dot; the upper half is Latin-1.
std::string DumpChar(std::uint8_t b) {
  if (b < 0x20 || (b >= 0x7F && b < 0xA0)) return ".";
  if (b < 0x80) return std::string(1, static_cast<char>(b));
  return {static_cast<char>(0xC0 | b >> 6), static_cast<char>(0x80 | (b & 0x3F))};
}

}  // namespace

std::vector<std::string> DumpLines(std::uint16_t start, int choice,
                                   const std::array<std::uint8_t, 65536>& ram, const std::uint8_t* eeprom,
                                   std::size_t eepromSize) {
  auto read = [&](std::uint32_t a) -> std::optional<std::uint8_t> {
    if (choice == 0 && a <= 0xFFFF) return ram[a];
    if (choice == 1 && eeprom != nullptr && a < eepromSize) return eeprom[a];
    return std::nullopt;
  };
  std::vector<std::string> lines;
  std::uint32_t a = start;
  for (int n = 0; n < 16 && a <= 0xFFFF; ++n) {  // the memory ends at $FFFF
    const std::uint32_t first = a;
    std::string line = Format("%4.4x  ", static_cast<unsigned>(first));
    for (int k = 0; k < 16; ++k, ++a) {
      const auto b = read(a);
      if (!b) break;
      line += Format(" %2.2X", *b);
    }
    for (std::uint32_t c = first; c < first + 16; ++c) {
      const auto b = read(c);
      if (!b) break;
      line += ' ';
      if (*b != 255) line += DumpChar(*b);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace hc11
