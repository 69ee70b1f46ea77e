// The simulated state of the processor and its board, apart from the
// debugger's own lists (breakpoints, watches, step history, trace list) and
// the run engine's command variables: what a time-travel snapshot keeps and
// what the state digest covers. The board's serial memo grows without bound
// and is kept apart by the record (see TimeTravel); the digest covers it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "core/machine.h"

namespace hc11 {

struct BoardState {
  std::uint8_t I2cPhase = 0, I2cMode = 0, I2cBitCount = 0;
  int I2cCount = 0;
  std::array<std::uint8_t, Board::kFrameSize> I2cFrame{};
  std::uint8_t PcfLatch = 0;
  std::array<std::uint8_t, Board::kEepromSize> EepromImage{};
  std::uint16_t EepromReadPtr = 0;
  std::uint8_t EepromReadBit = 0;
  std::uint8_t SynthPhase = 0, SynthBits = 0, SynthReg = 0;
  std::uint16_t SynthShift = 0, SynthA = 0, SynthM = 0, SynthR = 0;
  std::array<std::uint8_t, Board::kRxCapacity + 1> RxBuffer{};
  std::uint8_t RxIndex = 0;
  std::string HostRxText;
  std::array<std::uint8_t, 8> AdcInputs{};
  std::array<std::uint8_t, TAff8Segm::kPositions> Segments{};
  std::string EcranCaption;
  bool Led1Ton = false, Led2Hp = false, Led3Klx = false, Led4MA = false;
  std::string LbPcf8574, LbOutA, LbSynth;
  Board::Internals internals;
};

struct SimState {
  CpuState cpu;
  OperandLatch latch;
  // Left uninitialised: a snapshot is always captured before it is read, and
  // zeroing 128 KiB per snapshot would cost the run loop as much as the copy.
  std::array<std::uint8_t, 65536> memory;
  std::array<std::uint8_t, 65536> tags;  // the write tags; RAM-breakpoint bits are the list's
  std::uint16_t StackTop = 0;
  std::int64_t CycleCount = 0;
  std::int64_t PrevCycleCount = 0;
  std::uint16_t StartPC = 0, CodeEnd = 0;
  std::uint8_t PrevPortA = 0, PrevPortC = 0, PrevPortB = 0;
  std::uint16_t TimerVector = 0;
  std::int32_t IrqCounter = 0;
  bool hasBoard = false;
  BoardState board;
};

// Copies the live state into `s` (reusing its strings' storage). `board` may be null.
void CaptureState(const Machine& m, const Board* board, SimState& s);

// Puts `s` back into the machine and board without any device reaction. The
// RAM-breakpoint bits beside the write tags stay as the breakpoint list set them.
void RestoreState(const SimState& s, Machine& m, Board* board);

// A 64-bit digest of the complete simulated state: registers, memory, write
// tags, cycle and interrupt counters, port snapshots and every board device
// (with the serial memo). The debugger's lists, histories and the trace
// list's time reference do not count, nor does the operand latch.
// `memoTail` bounds how many of the memo's last lines count (with its length).
std::uint64_t StateDigest(const Machine& m, const Board* board, std::size_t memoTail = SIZE_MAX);

// Sixteen lower-case hexadecimal digits.
std::string DigestText(std::uint64_t digest);

}  // namespace hc11
