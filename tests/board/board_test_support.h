// A reset machine with the board attached, and an I2C master that bit-bangs
// port A the way the firmware does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "tests/support/recording.h"

namespace hc11::test {

class BoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.ResetMachine();
    machine.PrevPortA = machine.Memory[kPortA];
  }
  // Event texts of the trace list, without the "PC T=...ms " prefix.
  std::vector<std::string> EventTexts() const {
    std::vector<std::string> texts;
    for (const std::string& line : hooks.trace) texts.push_back(line.substr(line.find("ms ") + 3));
    return texts;
  }
  // An A/D channel as the firmware reads it: bank chosen by bit 2 of $1030.
  std::uint8_t ReadChannel(int channel) {
    machine.Memory[kAdcControl] = channel >= 4 ? 4 : 0;
    return machine.MemRead8(static_cast<std::uint16_t>(0x1031 + channel % 4));
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Machine machine{&hooks};
  Board board{machine, messages};
};

// Drives SDA (bit 7) and SCL (bit 6) by hooked stores that keep the other
// port-A bits, then takes the port snapshot a simulated step would take.
class I2cMaster {
 public:
  // `record`, when given, receives every byte stored to port A.
  explicit I2cMaster(Machine& machine, std::vector<std::uint8_t>* record = nullptr)
      : m_(machine), record_(record) {}

  void Write(std::uint8_t value) {
    if (record_ != nullptr) record_->push_back(value);
    m_.MemWrite8(kPortA, value, TagData);
    m_.PrevPortA = m_.Memory[kPortA];
  }
  void Lines(bool sda, bool scl) {
    const auto others = static_cast<std::uint8_t>(m_.Memory[kPortA] & ~(kPinSda | kPinScl));
    Write(static_cast<std::uint8_t>(others | (sda ? kPinSda : 0) | (scl ? kPinScl : 0)));
  }
  void Clock(bool scl) { Lines(Sda(), scl); }  // SDA as port A holds it
  bool Sda() const { return (m_.Memory[kPortA] & kPinSda) != 0; }

  void Start() {
    for (auto [sda, scl] : {std::pair{1, 0}, {1, 1}, {0, 1}, {0, 0}}) Lines(sda, scl);
  }
  void Stop() {
    for (auto [sda, scl] : {std::pair{0, 0}, {0, 1}, {1, 1}}) Lines(sda, scl);
  }
  // Eight bits, then the acknowledge clock; true when the slave pulled SDA low.
  bool WriteByte(std::uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit)
      for (bool scl : {false, true, false}) Lines(((byte >> bit) & 1) != 0, scl);
    Clock(false);
    Clock(true);
    const bool ack = !Sda();
    Clock(false);
    return ack;
  }
  // Eight bits sampled while SCL is high, then the master's acknowledge.
  std::uint8_t ReadByte(bool ack) {
    std::uint8_t byte = 0;
    for (int i = 0; i < 8; ++i) {
      Clock(true);
      byte = static_cast<std::uint8_t>(byte * 2 + (Sda() ? 1 : 0));
      Clock(false);
    }
    Lines(!ack, false);
    Clock(true);
    Clock(false);
    return byte;
  }
  // Start, the bytes, stop; true when every byte was acknowledged.
  bool Frame(std::initializer_list<std::uint8_t> bytes) {
    Start();
    bool acked = true;
    for (std::uint8_t b : bytes) acked = WriteByte(b) && acked;
    Stop();
    return acked;
  }

 private:
  Machine& m_;
  std::vector<std::uint8_t>* record_;
};

}  // namespace hc11::test
