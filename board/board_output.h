// What the board shows the outside world, as typed events: the bytes the
// serial line transmits, the display and LED changes, the port outputs the
// panel labels, EEPROM bytes changed, synthesiser loads and tones. A session
// recording keeps them as the expected behaviour of a build.
#pragma once

#include <cstdint>

namespace hc11 {

enum class BoardOutput : std::uint8_t {
  Transmit,  // value: the byte
  Display,   // value: segments of positions 3..0, position 3 in the high byte
  Leds,      // value: bit 3 Ton, 2 Hp, 1 Klx, 0 M/A
  OutA,      // value: the stop and ringer bits of port A
  Pcf,       // value: the PCF8574 latch
  Eeprom,    // address and value of a byte the write changed
  Synth,     // value: A | M << 7 | R << 17, at the end of a load
  Tone,      // value: the frequency in Hz
};

struct BoardOutputEvent {
  BoardOutput kind = BoardOutput::Transmit;
  std::uint32_t value = 0;
  std::uint16_t address = 0;
};

// Told of each change as it happens, inside the step that made it.
class BoardOutputSink {
 public:
  virtual ~BoardOutputSink() = default;
  virtual void BoardOutputMade(const BoardOutputEvent& event) = 0;
};

}  // namespace hc11
