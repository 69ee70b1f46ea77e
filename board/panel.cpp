// The board panel's inputs and indicators: keypad and on/off key, channel-busy
// switch, signal level, compared frequency, command buttons, the port-A
// output label and the serial memo.
#include "board/board.h"

namespace hc11 {

void Board::PortAIndicator(std::uint16_t address, std::uint8_t value) {
  if (address != kPortA || value == machine_.PrevPortA) return;
  const std::uint8_t bits = value & (kPinStop | kPinRinger);
  if (bits == outABits_) return;
  outABits_ = bits;
  LbOutA.clear();
  if ((bits & kPinStop) != 0) LbOutA += " bStop";
  if ((bits & kPinRinger) != 0) LbOutA += " bSonnerie";
  Emit(BoardOutput::OutA, bits);
  Changed(PanelPart::LbOutA);
}

void Board::PressKey(std::size_t keyIndex) {
  if (keyIndex >= kKeypad.size()) return;
  Note(BoardInput::PressKey, static_cast<int>(keyIndex));
  const KeypadKey& key = kKeypad[keyIndex];
  ChipInputsChange();
  AdcInputs[static_cast<std::size_t>(key.channel)] = key.level;
  Changed(PanelPart::Inputs);
}

void Board::ReleaseKey(std::size_t keyIndex) {
  if (keyIndex >= kKeypad.size()) return;
  Note(BoardInput::ReleaseKey, static_cast<int>(keyIndex));
  const int channel = kKeypad[keyIndex].channel;
  ChipInputsChange();
  AdcInputs[static_cast<std::size_t>(channel)] = KeypadIdleLevel(channel);
  Changed(PanelPart::Inputs);
}

// The on/off key is an input pin: it changes port A without any device reaction.
void Board::PressOnOff() {
  Note(BoardInput::PressOnOff);
  machine_.SetBitRaw(kPortA, kPinOnOff, false);
}

void Board::ReleaseOnOff() {
  Note(BoardInput::ReleaseOnOff);
  machine_.SetBitRaw(kPortA, kPinOnOff, true);
}

void Board::SetCbOC(bool busy) {
  Note(BoardInput::SetCbOC, busy ? 1 : 0);
  cbOC_ = busy;
  machine_.SetBitHooked(kPortA, kPinChannelBusy, busy);
  Changed(PanelPart::Inputs);
}

void Board::SetNiveauSignal(int level) {
  Note(BoardInput::SetNiveauSignal, level);
  niveauSignal_ = level < 0 ? 0 : level > 255 ? 255 : level;
  ChipInputsChange();
  AdcInputs[6] = static_cast<std::uint8_t>(niveauSignal_);
  Changed(PanelPart::Inputs);
}

void Board::SetOcFreq(int kHz) {
  Note(BoardInput::SetOcFreq, kHz);
  ocFreq_ = kHz;
  ChipInputsChange();
  AdcInputs[6] = static_cast<std::uint8_t>(niveauSignal_);
  Changed(PanelPart::Inputs);
}

void Board::PressCommand(BoardCommand command) {
  InjectMessage(CommandMessage(command));
}

void Board::ClearMemo() {
  Note(BoardInput::ClearMemo);
  Memo1.clear();
  Changed(PanelPart::Memo);
}

void Board::ClickEcran1() {
  Note(BoardInput::ClickEcran1);
  const std::uint32_t shown = DisplayWord();
  Ecran1.Click();
  ShownSince(shown, LedBits());
  Changed(PanelPart::Display);
}

void Board::Apply(const PanelInput& input) {
  const auto index = static_cast<std::size_t>(input.value);
  switch (input.action) {
    case PanelAction::PressKey:
      PressKey(index);
      break;
    case PanelAction::ReleaseKey:
      ReleaseKey(index);
      break;
    case PanelAction::PressOnOff:
      PressOnOff();
      break;
    case PanelAction::ReleaseOnOff:
      ReleaseOnOff();
      break;
    case PanelAction::Command:
      PressCommand(static_cast<BoardCommand>(input.value));
      break;
    case PanelAction::SignalLevel:
      SetNiveauSignal(input.value);
      break;
    case PanelAction::OcFrequency:
      SetOcFreq(input.value);
      break;
    case PanelAction::OcBusy:
      SetCbOC(input.value != 0);
      break;
    case PanelAction::ClearMemo:
      ClearMemo();
      break;
    case PanelAction::ClickDisplay:
      ClickEcran1();
      break;
    case PanelAction::PowerCut:
      PowerCut();
      break;
    case PanelAction::PowerOn:
      PowerOn();
      break;
  }
}

}  // namespace hc11
