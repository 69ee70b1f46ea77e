// The serially loaded frequency synthesiser: clock on port-D bit 5, data on
// port-A bit 3, loading enabled by bit 7 of the PCF8574 latch. Registers A
// (7 bits), M (10) and R (11) arrive in that order.
#include "board/board.h"
#include "board/rounding.h"
#include "core/text_util.h"

namespace hc11 {

void Board::SynthStep(std::uint8_t portD) {
  const bool clock = (portD & kPortDSynthClock) != 0;
  if (SynthPhase == 0) {
    if (clock) SynthPhase = 1;
    return;
  }
  if (clock) return;

  // Falling clock edge.
  if ((PcfLatch & 0x80) != 0) {
    const int data = machine_.Memory[kPortA] & kPinSynthData;
    if (SynthTrace) machine_.EventTrace(Format("Synth %d %d %4.4x", data, SynthBits, SynthShift));
    SynthShift = static_cast<std::uint16_t>(SynthShift * 2 + (data != 0 ? 1 : 0));
    ++SynthBits;
    if (SynthReg == 0 && SynthBits == 7) {
      if (SynthTrace) machine_.EventTrace(Format("Synth A %4.4X", SynthShift));
      SynthA = SynthShift;
      SynthShift = 0;
      SynthBits = 0;
      SynthReg = 1;
    } else if (SynthReg == 1 && SynthBits == 10) {
      if (SynthTrace) machine_.EventTrace(Format("Synth M %4.4X", SynthShift));
      SynthM = SynthShift;
      SynthShift = 0;
      SynthBits = 0;
      SynthReg = 2;
    } else if (SynthReg == 2 && SynthBits == 11) {
      if (SynthTrace) machine_.EventTrace(Format("Synth R %4.4X", SynthShift));
      SynthR = SynthShift;
      SynthShift = 0;
      SynthBits = 0;
      SynthReg = 0;
      Emit(BoardOutput::Synth,
           std::uint32_t{SynthA} | std::uint32_t{SynthM} << 7 | std::uint32_t{SynthR} << 17);
      const int receive = SynthDisplay();
      // Tells the firmware whether it tuned to the channel set on the panel.
      machine_.SetBitHooked(kPortA, kPinChannelBusy, receive == ocFreq_);
    }
  } else if (SynthReg > 0 && SynthTrace) {
    machine_.EventTrace(Format("Synth %d", portD & 8));
  }
  SynthPhase = 0;
}

int Board::SynthDisplay() {
  const long long n = static_cast<long long>(SynthM) * 64 + SynthA;
  const int f = static_cast<int>(RoundHalfEven(n * 25, 2));  // n x 12.5 kHz
  if ((PcfLatch & 0x08) != 0) {
    LbSynth = Format("Emission    %d kHz M=%4.4x A=%2.2x", f, SynthM, SynthA);
    Changed(PanelPart::LbSynth);
    return 0;
  }
  const int receive = UhfMode == 1 ? f + 45000 : f - 21400;
  LbSynth = Format("Reception %d kHz M=%4.4x A=%2.2x", receive, SynthM, SynthA);
  Changed(PanelPart::LbSynth);
  return receive;
}

}  // namespace hc11
