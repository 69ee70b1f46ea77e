#include "board/board.h"

#include "board/rounding.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::uint16_t kToneDivisor = 0x0017;
constexpr long long kToneClock = 1230250;
constexpr int kToneMs = 100;

}  // namespace

Board::Board(Machine& machine, Messages& messages) : machine_(machine), messages_(messages) {
  machine_.SetPeripherals(this);
  Chip.sci.Transmitted = [this](std::uint8_t byte) { UartTransmit(byte); };
  Chip.sci.ByteRead = [this](std::uint8_t byte) { machine_.EventTrace(Format("uart %2.2x", byte)); };
}

Board::~Board() {
  if (machine_.peripherals() == this) machine_.SetPeripherals(nullptr);
}

// The exact mode's on-chip registers first, with no call on the polled
// paths; the board's own registers out of line, so the polling pays for
// none of their work.
void Board::AfterWrite8(std::uint16_t address, std::uint8_t value) {
  const auto offset = static_cast<std::uint8_t>(address - kRegisterBlockStart);
  if (machine_.Exact && onchip::OnChip::Answers(offset)) [[unlikely]] {
    const int polled = Chip.WritePolled(offset, value, machine_.CycleCount);
    if (polled < 0) return ChipWrite(address, value);
    machine_.Memory[address] = static_cast<std::uint8_t>(polled);
    return;
  }
  return BoardWrite8(address, value);
}

void Board::BoardWrite8(std::uint16_t address, std::uint8_t value) {
  switch (address) {
    case kPortA:
      I2cBusStep(value);
      PortAIndicator(address, value);
      break;
    case kPortD:
      SynthStep(value);
      break;
    case kSciData:
      UartTransmit(value);
      break;
    default:
      break;
  }
}

std::uint8_t Board::Read8(std::uint16_t address) {
  const auto offset = static_cast<std::uint8_t>(address - kRegisterBlockStart);
  if (machine_.Exact && onchip::OnChip::Answers(offset)) [[unlikely]] {
    const int polled = Chip.ReadPolled(offset, machine_.CycleCount);
    if (polled < 0) return ChipRead(address);
    machine_.Memory[address] = static_cast<std::uint8_t>(polled);
    return static_cast<std::uint8_t>(polled);
  }
  return BoardRead8(address);
}

std::uint8_t Board::BoardRead8(std::uint16_t address) {
  auto& mem = machine_.Memory;
  switch (address) {
    case kSciData:
      return UartRead();
    case 0x1031:
    case 0x1032:
    case 0x1033:
    case 0x1034: {
      // Bit 2 of the A/D control register selects channels 4-7 instead of 0-3.
      const std::size_t channel = (address - 0x1031u) + (mem[kAdcControl] & 4u);
      mem[address] = AdcInputs[channel];
      return mem[address];
    }
    default:
      return mem[address];
  }
}

void Board::AfterWrite16(std::uint16_t address, std::uint16_t value) {
  (void)value;
  if (address == kToneRegister) SoundTone();
}

void Board::SoundTone() {
  const std::uint16_t divisor = machine_.MemRead16(kToneDivisor);
  if (divisor == 0) return;  // no tone without a period
  const auto hz = static_cast<int>(RoundHalfEven(kToneClock, divisor));
  Emit(BoardOutput::Tone, static_cast<std::uint32_t>(hz));
  machine_.hooks().Beep(hz, kToneMs);
}

void Board::BoardReset() {
  auto& mem = machine_.Memory;
  const std::uint32_t shown = DisplayWord();
  Unpowered = false;
  mem[kPortA] |= kPinOnOff;  // on/off key released
  machine_.SetBitHooked(kPortA, kPinChannelBusy, cbOC_);
  RxIndex = 0;
  mem[kSciStatus] = 0x80;
  I2cPhase = 0;
  I2cMode = 0;
  I2cFrame.fill(0);
  LoadEepromDefaults();
  I2cCount = 0;
  SynthPhase = 0;
  SynthBits = 0;
  SynthReg = 0;
  SynthShift = 0;
  Memo1.clear();
  for (int ch = 0; ch <= 5; ++ch) AdcInputs[static_cast<std::size_t>(ch)] = KeypadIdleLevel(ch);
  AdcInputs[6] = static_cast<std::uint8_t>(niveauSignal_);
  Ecran1.Clear();
  Chip.Reset(machine_.CycleCount);
  if (machine_.Exact) ChipMirror();
  ChipSync();
  ShownSince(shown, LedBits());
  Changed(PanelPart::Memo);
  Changed(PanelPart::Inputs);
  Changed(PanelPart::Display);
}

std::uint8_t Board::ReadTyped(std::uint16_t address, char type, std::uint8_t value) {
  switch (type) {
    case 'A':
      if (address <= 7) return AdcInputs[address];
      Warn("depasse TbCan");
      return value;
    case 'C':
      if (address < machine_.CodeEnd) return machine_.Memory[address];
      Warn("pcsu<long_code");
      return 0x55;
    case 'I':
      return machine_.Memory[address];
    case '2':
      if (ProgramOutput) ProgramOutput(" I2C interdit en normal");
      return value;
    default:
      return 0;
  }
}

void Board::Warn(std::string_view message) {
  messages_.Show(MsgKind::Warning, "Avertissement", " Err." + std::string(message));
}

std::uint32_t Board::DisplayWord() const {
  std::uint32_t word = 0;
  for (int p = TAff8Segm::kPositions - 1; p >= 0; --p)
    word = word << 8 | Ecran1.Segments[static_cast<std::size_t>(p)];
  return word;
}

std::uint32_t Board::LedBits() const {
  return (Led1Ton ? 8u : 0u) | (Led2Hp ? 4u : 0u) | (Led3Klx ? 2u : 0u) | (Led4MA ? 1u : 0u);
}

void Board::ShownSince(std::uint32_t display, std::uint32_t leds) {
  if (OutputSink == nullptr) return;
  if (const std::uint32_t now = DisplayWord(); now != display) Emit(BoardOutput::Display, now);
  if (const std::uint32_t now = LedBits(); now != leds) Emit(BoardOutput::Leds, now);
}

void Board::Changed(PanelPart part) {
  if (OnPanelChange) OnPanelChange(part);
}

}  // namespace hc11
