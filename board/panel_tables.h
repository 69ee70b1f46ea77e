// Fixed tables of the board panel: the keypad keys with the A/D level each one
// presents, and the command buttons with the serial message each one injects.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace hc11 {

struct KeypadKey {
  const char* button;   // the panel button's name
  const char* caption;  // text on the key
  int tag;              // the button's tag
  int channel;          // A/D input the key acts on
  std::uint8_t level;   // level while the key is held
};

// Two keys share each of channels 0-4 (one pulls high, one low) and three
// share channel 5.
inline constexpr std::array<KeypadKey, 12> kKeypad{{
    {"BitBtn1", "C-", 0, 4, 253},
    {"BitBtn2", "C+", 3, 3, 1},
    {"BitBtn3", "F-", 2, 3, 253},
    {"BitBtn4", "PTT", 10, 5, 43},
    {"BitBtn5", "F+", 5, 2, 1},
    {"BitBtn6", "+", 7, 1, 1},
    {"BitBtn7", "-", 4, 2, 253},
    {"BitBtn8", "#", 11, 5, 111},
    {"BitBtn9", "1700", 6, 1, 253},
    {"BitBtn10", "Menu", 9, 0, 1},
    {"BitBtn11", "Memo", 8, 0, 253},
    {"BitBtn12", "*", 12, 5, 188},
}};

// Level of a channel with no key held.
constexpr std::uint8_t KeypadIdleLevel(int channel) {
  return channel == 5 ? 255 : 128;
}

// Index into kKeypad of the key with this caption.
std::optional<std::size_t> FindKeypadKey(std::string_view caption);

// Caption of the on/off key, which drives port-A bit 1 rather than an A/D input.
inline constexpr std::string_view kOnOffCaption = "M/A";
// The mains switch: checked while the board has no power.
inline constexpr std::string_view kPowerCutCaption = "Coupure secteur";

enum class BoardCommand { LecE2P, EcrE2P, EcrRam, RestCfg, SauvCfg };

struct BoardCommandButton {
  const char* button;   // the panel button's name
  const char* caption;  // text on the button
  BoardCommand command;
};

inline constexpr std::array<BoardCommandButton, 5> kCommandButtons{{
    {"Button1", "LecE2P", BoardCommand::LecE2P},
    {"EcrE2P", "EcrE2P", BoardCommand::EcrE2P},
    {"Button2", "Ecr ram", BoardCommand::EcrRam},
    {"RstCfg", "Rest Cfg", BoardCommand::RestCfg},
    {"SvCfg", "Sauv Cfg", BoardCommand::SauvCfg},
}};

std::optional<BoardCommand> FindCommand(std::string_view caption);

// The bytes the button places in the serial receive buffer.
std::span<const std::uint8_t> CommandMessage(BoardCommand command);

}  // namespace hc11
