// A user's action on the board's panel, as a value: the window's panel, the
// CLI and GDB's monitor give them to the controller, which applies them to
// the board and tells every view.
#pragma once

#include <cstdint>

namespace hc11 {

enum class PanelAction : std::uint8_t {
  PressKey,    // value: index into kKeypad
  ReleaseKey,  // value: index into kKeypad
  PressOnOff,  // the "M/A" key
  ReleaseOnOff,
  Command,       // value: a BoardCommand
  SignalLevel,   // value: 0..255
  OcFrequency,   // value: kHz
  OcBusy,        // value: 0 or 1
  ClearMemo,     // double click on the memo
  ClickDisplay,  // click on the display
  PowerCut,      // "Coupure secteur"
  PowerOn,       // the power back
};

struct PanelInput {
  PanelAction action = PanelAction::PressKey;
  int value = 0;
};

}  // namespace hc11
