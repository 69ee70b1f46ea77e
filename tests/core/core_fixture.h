// A fresh machine wired to recording hooks, plus small helpers to place
// hand-assembled bytes and run them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/decoder.h"
#include "core/machine.h"
#include "tests/support/recording.h"

namespace hc11::test {

using Bytes = std::vector<std::uint8_t>;

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

  // Bytes at `at`; CodeEnd covers them.
  void Place(std::uint16_t at, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), m.Memory.begin() + at);
    m.CodeEnd = std::max(m.CodeEnd, static_cast<std::uint16_t>(at + bytes.size()));
  }
  // Bytes at `at` with PC on them.
  void Load(const Bytes& bytes, std::uint16_t at = kCode) {
    Place(at, bytes);
    m.cpu.PC = at;
  }
  // Decodes and executes the instruction at PC.
  void Exec() { DecodeAndExecute(m); }
  // One instruction that must execute cleanly and fall through.
  void Run(const Bytes& code) {
    Load(code);
    Exec();
    ASSERT_FALSE(m.StopFlag) << m.StopMessage;
    ASSERT_EQ(m.cpu.PC, kCode + code.size());
  }
  std::uint8_t Flags() const { return m.cpu.CC & (FlagN | FlagZ | FlagV | FlagC); }

  RecordingHooks hooks;
  Machine m{&hooks};
};

}  // namespace hc11::test
