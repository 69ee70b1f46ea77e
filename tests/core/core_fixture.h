// A fresh machine wired to recording hooks, plus small helpers to place
// hand-assembled bytes and run them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/decoder.h"
#include "core/machine.h"
#include "tests/support/recording.h"

namespace hc11::test {

// Records every access the memory hooks hand to the board.
class FakeDevices : public Peripherals {
 public:
  void AfterWrite8(std::uint16_t a, std::uint8_t v) override { writes8.push_back({a, v}); }
  std::uint8_t Read8(std::uint16_t a) override {
    reads.push_back(a);
    return readValue;
  }
  void AfterWrite16(std::uint16_t a, std::uint16_t v) override { writes16.push_back({a, v}); }
  void BoardReset() override { ++resets; }
  void RunStarted() override { ++runs; }

  std::uint8_t readValue = 0x5A;
  std::vector<std::uint16_t> reads;
  std::vector<std::pair<std::uint16_t, std::uint8_t>> writes8;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> writes16;
  int resets = 0;
  int runs = 0;
};

class CoreTest : public ::testing::Test {
 protected:
  static constexpr std::uint16_t kCode = 0xE000;

  // Bytes at `at`; PC points at them and CodeEnd covers them.
  void Load(std::initializer_list<std::uint8_t> bytes, std::uint16_t at = kCode) {
    Place(at, bytes);
    m.cpu.PC = at;
  }
  void Place(std::uint16_t at, std::initializer_list<std::uint8_t> bytes) {
    std::uint16_t a = at;
    for (std::uint8_t b : bytes) m.Memory[a++] = b;
    m.CodeEnd = std::max<std::uint16_t>(m.CodeEnd, a);
  }
  // Decodes and executes the instruction at PC.
  void Exec() { DecodeAndExecute(m); }
  std::uint8_t Flags() const { return m.cpu.CC & (FlagN | FlagZ | FlagV | FlagC); }

  RecordingHooks hooks;
  Machine m{&hooks};
};

}  // namespace hc11::test
