#include "board/panel_tables.h"

namespace hc11 {

namespace {

constexpr std::array<std::uint8_t, 4> kLecE2P{0xA6, 0x03, 0x20, 0x05};
constexpr std::array<std::uint8_t, 1> kRestCfg{0xA8};
constexpr std::array<std::uint8_t, 1> kSauvCfg{0xA9};

// A four-byte header followed by the 19 bytes $00..$12.
constexpr std::array<std::uint8_t, 23> WithCounting(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                                    std::uint8_t d) {
  std::array<std::uint8_t, 23> m{a, b, c, d};
  for (std::size_t i = 0; i < 19; ++i) m[4 + i] = static_cast<std::uint8_t>(i);
  return m;
}
constexpr auto kEcrE2P = WithCounting(0xA5, 0x03, 0x20, 0x10);
constexpr auto kEcrRam = WithCounting(0xA4, 0x08, 0x00, 0x10);

}  // namespace

std::optional<std::size_t> FindKeypadKey(std::string_view caption) {
  for (std::size_t i = 0; i < kKeypad.size(); ++i)
    if (caption == kKeypad[i].caption) return i;
  return std::nullopt;
}

std::optional<BoardCommand> FindCommand(std::string_view caption) {
  for (const auto& b : kCommandButtons)
    if (caption == b.caption) return b.command;
  return std::nullopt;
}

std::span<const std::uint8_t> CommandMessage(BoardCommand command) {
  switch (command) {
    case BoardCommand::LecE2P:
      return kLecE2P;
    case BoardCommand::EcrE2P:
      return kEcrE2P;
    case BoardCommand::EcrRam:
      return kEcrRam;
    case BoardCommand::RestCfg:
      return kRestCfg;
    case BoardCommand::SauvCfg:
      return kSauvCfg;
  }
  return {};
}

}  // namespace hc11
