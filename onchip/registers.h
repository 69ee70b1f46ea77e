// The on-chip registers the exact mode's devices answer, as offsets in the
// register block, with their bits and interrupt vectors.
#pragma once

#include <cstdint>

namespace hc11::onchip {

// Timer.
inline constexpr std::uint8_t kTcntHigh = 0x0E;
inline constexpr std::uint8_t kTcntLow = 0x0F;
inline constexpr std::uint8_t kToc1 = 0x16;  // TOC1-TOC5: two bytes each up to $1F
inline constexpr std::uint8_t kToc5End = 0x1F;
inline constexpr std::uint8_t kTmsk1 = 0x22;
inline constexpr std::uint8_t kTflg1 = 0x23;
inline constexpr std::uint8_t kTmsk2 = 0x24;
inline constexpr std::uint8_t kTflg2 = 0x25;
inline constexpr std::uint8_t kPactl = 0x26;
// Serial interface.
inline constexpr std::uint8_t kBaud = 0x2B;
inline constexpr std::uint8_t kSccr1 = 0x2C;
inline constexpr std::uint8_t kSccr2 = 0x2D;
inline constexpr std::uint8_t kScsr = 0x2E;
inline constexpr std::uint8_t kScdr = 0x2F;
// A/D converter.
inline constexpr std::uint8_t kAdctl = 0x30;
inline constexpr std::uint8_t kAdr1 = 0x31;
inline constexpr std::uint8_t kAdr4 = 0x34;
// System.
inline constexpr std::uint8_t kOption = 0x39;
inline constexpr std::uint8_t kCoprst = 0x3A;
inline constexpr std::uint8_t kHprio = 0x3C;
inline constexpr std::uint8_t kConfig = 0x3F;

// TFLG1/TMSK1: OC1F ... OC5F from bit 7 down.
inline constexpr std::uint8_t kOc1F = 0x80;
inline constexpr std::uint8_t kOc5F = 0x08;
// TFLG2/TMSK2.
inline constexpr std::uint8_t kTof = 0x80;
inline constexpr std::uint8_t kRtif = 0x40;
inline constexpr std::uint8_t kPrescalerBits = 0x03;
// SCSR.
inline constexpr std::uint8_t kTdre = 0x80;
inline constexpr std::uint8_t kTc = 0x40;
inline constexpr std::uint8_t kRdrf = 0x20;
inline constexpr std::uint8_t kIdle = 0x10;
inline constexpr std::uint8_t kOr = 0x08;
// SCCR2.
inline constexpr std::uint8_t kTie = 0x80;
inline constexpr std::uint8_t kTcie = 0x40;
inline constexpr std::uint8_t kRie = 0x20;
inline constexpr std::uint8_t kIlie = 0x10;
inline constexpr std::uint8_t kTe = 0x08;
inline constexpr std::uint8_t kRe = 0x04;
// SCCR1: nine data bits.
inline constexpr std::uint8_t kNineBits = 0x10;
// ADCTL.
inline constexpr std::uint8_t kCcf = 0x80;
inline constexpr std::uint8_t kScan = 0x20;
inline constexpr std::uint8_t kMult = 0x10;
// OPTION: A/D powered; COP rate CR1:0.
inline constexpr std::uint8_t kAdpu = 0x80;
// CONFIG: the COP is off while NOCOP is set.
inline constexpr std::uint8_t kNoCop = 0x04;

// Interrupt sources by their vector's slot below $FFF2: slot n's routine
// address is read at $FFF2 - 2n, and a lower slot wins (the chip's default
// order, IRQ first and the serial interface last).
enum class Source : std::uint8_t {
  Irq = 0,
  Rti = 1,
  Ic1 = 2,
  Ic2 = 3,
  Ic3 = 4,
  Oc1 = 5,
  Oc2 = 6,
  Oc3 = 7,
  Oc4 = 8,
  Oc5 = 9,
  Tof = 10,
  Paov = 11,
  Pai = 12,
  Spi = 13,
  Sci = 14,
};
inline constexpr std::uint16_t kSlotZeroVector = 0xFFF2;
inline constexpr std::uint16_t kCopVector = 0xFFFA;

constexpr std::uint16_t Bit(Source s) {
  return static_cast<std::uint16_t>(1u << static_cast<unsigned>(s));
}
constexpr std::uint16_t VectorOf(Source s) {
  return static_cast<std::uint16_t>(kSlotZeroVector - 2 * static_cast<unsigned>(s));
}

}  // namespace hc11::onchip
