// A power cut and the power coming back: what the board's chips keep.
#include <algorithm>

#include "board/board.h"

namespace hc11 {

namespace {
// The processor's RAM and register block, as the reset clears them.
constexpr std::size_t kVolatileEnd = kRegisterBlockEnd;
}  // namespace

void Board::PowerCut() {
  Note(BoardInput::PowerCut);
  const std::uint32_t shown = DisplayWord(), leds = LedBits();
  Machine& m = machine_;
  m.cpu = CpuState{};
  m.latch = OperandLatch{};
  std::fill(m.Memory.begin(), m.Memory.begin() + kVolatileEnd, std::uint8_t{0});
  // The return-address marks went with the bytes; RAM breakpoints are the list's and stay.
  for (std::size_t a = 0; a < kVolatileEnd; ++a) m.WriteTagTable[a].tag = TagData;
  m.StackTop = 0;
  m.StackChanged = true;
  m.PrevPortA = m.PrevPortB = m.PrevPortC = 0;
  m.IrqCounter = 0;
  m.PortsMayChange = true;

  // The EEPROM stores a write only at its stop condition, so dropping the
  // frame in progress loses an unfinished write whole and touches no byte.
  I2cPhase = 0;
  I2cMode = 0;
  I2cCount = 0;
  I2cBitCount = 0;
  I2cFrame.fill(0);
  frameOverflow_ = 0;
  EepromReadPtr = 0;
  EepromReadBit = 0;

  SynthPhase = 0;
  SynthBits = 0;
  SynthReg = 0;
  SynthShift = 0;
  SynthA = 0;
  SynthM = 0;
  SynthR = 0;

  RxBuffer.fill(0);  // the serial interface is the processor's
  RxIndex = 0;

  Ecran1.Clear();
  Led1Ton = Led2Hp = Led3Klx = Led4MA = false;
  ShownSince(shown, leds);
  if (PcfLatch != 0) Emit(BoardOutput::Pcf, 0);
  PcfLatch = 0;
  LbPcf8574 = "Pcf8574";
  LbSynth = "Synth";
  LbOutA.clear();
  if (outABits_ != 0) Emit(BoardOutput::OutA, 0);
  outABits_ = 0;
  Unpowered = true;
  for (PanelPart part : {PanelPart::Display, PanelPart::Leds, PanelPart::LbPcf8574, PanelPart::LbOutA,
                         PanelPart::LbSynth, PanelPart::Inputs})
    Changed(part);
}

void Board::PowerOn() {
  Note(BoardInput::PowerOn);
  const std::array<std::uint8_t, kEepromSize> kept = EepromImage;
  machine_.ResetMachine();  // the board's reset clears Unpowered
  EepromImage = kept;
}

}  // namespace hc11
