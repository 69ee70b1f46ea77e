#include "board/board.h"

namespace hc11 {

void Board::Visit(StateVisitor& v) {
  v.Begin("i2c");
  v.Field("I2cPhase", I2cPhase);
  v.Field("I2cMode", I2cMode);
  v.Field("I2cBitCount", I2cBitCount);
  v.Bounded("I2cCount", I2cCount, 0, static_cast<int>(kFrameSize));
  v.Bytes("I2cFrame", I2cFrame);
  v.Field("frameOverflow", frameOverflow_);
  v.Field("PcfLatch", PcfLatch);
  v.End();

  v.Begin("eeprom");
  v.Bytes("EepromImage", EepromImage);
  v.Field("EepromReadPtr", EepromReadPtr);
  // The read step shifts the byte by 7 minus this bit number.
  v.Bounded("EepromReadBit", EepromReadBit, std::uint8_t{0}, std::uint8_t{7});
  v.End();

  v.Begin("synth");
  v.Field("SynthPhase", SynthPhase);
  v.Field("SynthBits", SynthBits);
  v.Field("SynthReg", SynthReg);
  v.Field("SynthShift", SynthShift);
  v.Field("SynthA", SynthA);
  v.Field("SynthM", SynthM);
  v.Field("SynthR", SynthR);
  v.End();

  v.Begin("uart");
  // The reader indexes the buffer up to its length byte, so both stay within it.
  v.Bounded("RxLength", RxBuffer[0], std::uint8_t{0}, static_cast<std::uint8_t>(kRxCapacity));
  v.Bytes("RxBuffer", std::span(RxBuffer).subspan(1));
  v.Bounded("RxIndex", RxIndex, std::uint8_t{0}, static_cast<std::uint8_t>(kRxCapacity + 1));
  v.Field("HostRxText", HostRxText);
  v.End();

  v.Begin("adc");
  v.Bytes("AdcInputs", AdcInputs);
  v.End();

  v.Begin("onchip");
  Chip.Visit(v);
  v.End();

  v.Begin("display");
  Ecran1.Visit(v);
  v.End();

  v.Begin("panel");
  v.Field("Led1Ton", Led1Ton);
  v.Field("Led2Hp", Led2Hp);
  v.Field("Led3Klx", Led3Klx);
  v.Field("Led4MA", Led4MA);
  v.Field("LbPcf8574", LbPcf8574);
  v.Field("LbOutA", LbOutA);
  v.Field("LbSynth", LbSynth);
  v.Field("outABits", outABits_);
  v.Field("cbOC", cbOC_);
  v.Field("niveauSignal", niveauSignal_);
  v.Field("ocFreq", ocFreq_);
  v.End();

  v.Begin("power");
  v.Field("Unpowered", Unpowered);
  v.End();
}

}  // namespace hc11
