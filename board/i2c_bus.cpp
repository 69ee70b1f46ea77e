// The I2C bus the firmware bit-bangs on port A, and the devices answering on
// it: the PCF8574 latch ($40), the display drivers ($70, $76) and the 24C16
// EEPROM ($A0-$AE).
#include <algorithm>
#include <filesystem>
#include <iterator>

#include "board/board.h"
#include "core/hex_loader.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::size_t kEepromMask = Board::kEepromSize - 1;

}  // namespace

std::uint8_t& Board::FrameSlot() {
  // Bytes beyond the frame buffer are assembled and acknowledged but dropped.
  return I2cCount < static_cast<int>(kFrameSize) ? I2cFrame[static_cast<std::size_t>(I2cCount)]
                                                 : frameOverflow_;
}

void Board::I2cEvent(const char* text) {
  if (I2cTrace) machine_.EventTrace(text);
}

void Board::I2cBusStep(std::uint8_t portA) {
  const bool sda = (portA & kPinSda) != 0;
  const bool scl = (portA & kPinScl) != 0;
  const bool sdaBefore = (machine_.PrevPortA & kPinSda) != 0;

  switch (I2cPhase) {
    case 0:
      if (scl) {
        I2cPhase = 1;
        if (I2cMode == 2) EepromReadBitStep();
      }
      break;

    case 1:
      if (sdaBefore && !sda) {
        // Start; a repeated start carries on with the same frame.
        I2cEvent("i2c start");
        FrameSlot() = 0;
        I2cBitCount = 0;
        I2cPhase = 0;
      } else if (!sdaBefore && sda) {
        I2cEvent("i2c stop");
        I2cFrameComplete();
        I2cBitCount = 0;
        I2cPhase = 0;
        I2cCount = 0;
        I2cFrame[0] = 0;
        I2cMode = 0;
      } else if (scl) {
        // Clock still high: nothing happens.
      } else if (I2cMode == 2) {
        I2cPhase = 0;
      } else {
        // Falling clock edge: shift the data bit in.
        I2cPhase = 0;
        std::uint8_t& byte = FrameSlot();
        byte = static_cast<std::uint8_t>(byte * 2 + (sda ? 1 : 0));
        if (++I2cBitCount < 8) break;

        I2cPhase = 2;
        if (I2cTrace) {
          machine_.EventTrace(Format("i2c = %2.2x", byte));
          if (I2cCount == 0 && (byte & 1) != 0) machine_.EventTrace(Format("i2c Rd%d", I2cCount));
        }
        if (I2cCount == 2 && (I2cFrame[2] & 0xF1) == 0xA1) {
          // A 24C16 read: address byte, memory address, repeated start, read address.
          EepromReadPtr = static_cast<std::uint16_t>(((I2cFrame[2] & 0x0E) / 2) * 256 + I2cFrame[1]);
          EepromReadBit = 0;
          I2cMode = 2;
          I2cEvent("i2c Rd24c16 debut");
        }
        I2cBitCount = 0;
        if (I2cCount < static_cast<int>(kFrameSize)) ++I2cCount;
        FrameSlot() = 0;
        machine_.SetBitRaw(kPortA, kPinSda, false);  // acknowledge
        if (I2cTrace) machine_.EventTrace(Format("i2c acknowledge %d", I2cCount));
      }
      break;

    case 2:
      if (!scl) {
        I2cPhase = 3;
        I2cEvent("i2c ackn desc1");
      }
      break;

    case 3:
      if (scl) {
        I2cPhase = 0;
        I2cEvent("i2c ackn mont");
      }
      break;

    default:
      I2cPhase = 0;
      break;
  }
}

void Board::EepromReadBitStep() {
  // The read pointer wraps within the image, as the part's address counter does.
  const std::size_t address = EepromReadPtr & kEepromMask;
  const std::uint8_t byte = EepromImage[address];
  const bool bit = ((byte >> (7 - EepromReadBit)) & 1) != 0;
  machine_.SetBitRaw(kPortA, kPinSda, bit);
  I2cEvent(bit ? "24c16 r=1" : "24c16 r=0");
  if (++EepromReadBit < 8) return;
  if (I2cTrace) machine_.EventTrace(Format("24c16 r [%4.4x]=%2.2x", static_cast<unsigned>(address), byte));
  EepromReadPtr = static_cast<std::uint16_t>((address + 1) & kEepromMask);
  EepromReadBit = 0;
  I2cPhase = 2;  // the master's acknowledge clock follows
}

void Board::I2cFrameComplete() {
  const std::uint8_t first = I2cFrame[0];
  const std::uint8_t device = first & 0xFE;

  if (device == 0x40) {
    if (PcfLatch != I2cFrame[1]) Emit(BoardOutput::Pcf, I2cFrame[1]);
    PcfLatch = I2cFrame[1];
    LbPcf8574 = Format("Pcf8574=%2.2X", PcfLatch);
    Changed(PanelPart::LbPcf8574);
    SynthDisplay();
    return;
  }
  if (device == 0x70 || device == 0x76) {
    if (I2cFrame[1] != 1) return;
    const bool left = device == 0x76;  // $76 drives positions 3 and 2, $70 positions 1 and 0
    const std::uint32_t shown = DisplayWord(), leds = LedBits();
    Ecran1.DrawDigit(left ? 3 : 1, I2cFrame[2]);
    Ecran1.DrawDigit(left ? 2 : 0, I2cFrame[3]);
    (left ? Led1Ton : Led3Klx) = (I2cFrame[2] & 0x80) != 0;
    (left ? Led2Hp : Led4MA) = (I2cFrame[3] & 0x80) != 0;
    ShownSince(shown, leds);
    Changed(PanelPart::Display);
    Changed(PanelPart::Leds);
    return;
  }
  if ((device & 0xF0) == 0xA0) {
    if ((first & 1) != 0 || I2cMode == 2) return;  // reads end with nothing to store
    const std::size_t base = (static_cast<std::size_t>(first & 0x0E) * 128 + I2cFrame[1]) & kEepromMask;
    if (I2cTrace)
      machine_.EventTrace(
          Format("24c16 w [%4.4x]=%2.2x nbI2c%d", static_cast<unsigned>(base), I2cFrame[2], I2cCount));
    // No page wrap: a long write runs on linearly, wrapping at the end of the image.
    for (int i = 2; i < I2cCount; ++i) {
      const std::size_t at = (base + static_cast<std::size_t>(i) - 2) & kEepromMask;
      const std::uint8_t byte = I2cFrame[static_cast<std::size_t>(i)];
      if (EepromImage[at] != byte) Emit(BoardOutput::Eeprom, byte, static_cast<std::uint16_t>(at));
      EepromImage[at] = byte;
    }
    return;
  }
  machine_.ReportError(ErrorKind::Device,
                       Format("Erreur i2c pcs =%4.4x adr= %4.4x", machine_.cpu.PC, device));
}

void Board::LoadEepromDefaults() {
  static constexpr std::uint8_t kHeader[12] = {5, 0x2D, 0x90, 5, 1, 6, 2, 0, 0, 2, 0x50, 1};
  static constexpr std::uint16_t kWords[13] = {0x2D00, 0x2D78, 0x2D7A, 0x2D7C, 0x2D7E, 0x2D84, 0x2D8E,
                                               0x2D90, 0x2DA0, 0x30F0, 0x3100, 0x3282, 0x0000};
  std::copy(std::begin(kHeader), std::end(kHeader), EepromImage.begin());
  std::fill(EepromImage.begin() + 256, EepromImage.begin() + 356, std::uint8_t{1});
  for (std::size_t i = 0; i < std::size(kWords); ++i) {
    EepromImage[512 + 2 * i] = static_cast<std::uint8_t>(kWords[i] >> 8);
    EepromImage[513 + 2 * i] = static_cast<std::uint8_t>(kWords[i]);
  }
  // Programs whose path has a "b" after its first character use the saved image.
  const std::size_t b = ListingBase.find('b');
  if (b != std::string::npos && b > 0) LoadEepromFile();
}

void Board::LoadEepromFile() {
  std::error_code ec;
  if (!std::filesystem::exists(EepromFileName, ec)) return;  // no image file: the defaults stay
  // Half an image would mix saved bytes with defaults: only a complete one replaces them.
  std::array<std::uint8_t, kEepromSize> image{};
  if (LoadBinaryImage(EepromFileName, image, messages_)) EepromImage = image;
}

}  // namespace hc11
