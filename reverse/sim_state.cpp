#include "reverse/sim_state.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/text_util.h"

namespace hc11 {

namespace {

// Blocks are summed Fletcher-style over 64-bit words (a running sum and a
// sum of sums, so order counts), which keeps 64 KiB to a few microseconds;
// the sums and every scalar go through a multiplicative mix. Not
// cryptographic: it tells runs apart, nothing more.
class Hasher {
 public:
  void Word(std::uint64_t w) { h_ = Mix(h_ ^ w); }
  // `keep` masks each word (the write tags without the breakpoint bits).
  void Bytes(const std::uint8_t* p, std::size_t n, std::uint64_t keep = ~std::uint64_t{0}) {
    Word(n);
    std::uint64_t a = 0x9E3779B97F4A7C15ull, b = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t w;
      std::memcpy(&w, p + i, 8);
      a += (w & keep) + 0x632BE59BD9B4E019ull;
      b += a;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, p + i, n - i);
    a += w & keep;
    b += a;
    Word(a);
    Word(b);
  }
  void Text(const std::string& s) { Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); }
  std::uint64_t Final() const { return Mix(h_ + 0x9E3779B97F4A7C15ull); }

 private:
  static std::uint64_t Mix(std::uint64_t x) {
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 29;
    x *= 0xC4CEB9FE1A85EC53ull;
    return x ^ (x >> 32);
  }
  std::uint64_t h_ = 1;
};

static_assert(sizeof(WriteTagEntry) == 2 && offsetof(WriteTagEntry, tag) == 0);

// Every board field a snapshot keeps, paired with its place in the
// snapshot, so that capture and restore cannot drift apart.
template <class B, class S, class F>
void EachBoardField(B& b, S& s, F f) {
  f(b.I2cPhase, s.I2cPhase);
  f(b.I2cMode, s.I2cMode);
  f(b.I2cBitCount, s.I2cBitCount);
  f(b.I2cCount, s.I2cCount);
  f(b.I2cFrame, s.I2cFrame);
  f(b.PcfLatch, s.PcfLatch);
  f(b.EepromImage, s.EepromImage);
  f(b.EepromReadPtr, s.EepromReadPtr);
  f(b.EepromReadBit, s.EepromReadBit);
  f(b.SynthPhase, s.SynthPhase);
  f(b.SynthBits, s.SynthBits);
  f(b.SynthReg, s.SynthReg);
  f(b.SynthShift, s.SynthShift);
  f(b.SynthA, s.SynthA);
  f(b.SynthM, s.SynthM);
  f(b.SynthR, s.SynthR);
  f(b.RxBuffer, s.RxBuffer);
  f(b.RxIndex, s.RxIndex);
  f(b.HostRxText, s.HostRxText);
  f(b.AdcInputs, s.AdcInputs);
  f(b.Ecran1.Segments, s.Segments);
  f(b.Ecran1.Caption, s.EcranCaption);
  f(b.Led1Ton, s.Led1Ton);
  f(b.Led2Hp, s.Led2Hp);
  f(b.Led3Klx, s.Led3Klx);
  f(b.Led4MA, s.Led4MA);
  f(b.LbPcf8574, s.LbPcf8574);
  f(b.LbOutA, s.LbOutA);
  f(b.LbSynth, s.LbSynth);
}

void CaptureBoard(const Board& b, BoardState& s) {
  EachBoardField(b, s, [](const auto& from, auto& to) { to = from; });
  s.internals = b.GetInternals();
}

void RestoreBoard(const BoardState& s, Board& b) {
  EachBoardField(b, s, [](auto& to, const auto& from) { to = from; });
  b.SetInternals(s.internals);
}

void HashBoard(const Board& b, Hasher& h, std::size_t memoTail) {
  h.Word(std::uint64_t{b.I2cPhase} | std::uint64_t{b.I2cMode} << 8 | std::uint64_t{b.I2cBitCount} << 16 |
         std::uint64_t{b.PcfLatch} << 24 | std::uint64_t{b.EepromReadBit} << 32 |
         std::uint64_t{b.EepromReadPtr} << 40);
  h.Word(static_cast<std::uint64_t>(b.I2cCount));
  h.Bytes(b.I2cFrame.data(), b.I2cFrame.size());
  h.Bytes(b.EepromImage.data(), b.EepromImage.size());
  h.Word(std::uint64_t{b.SynthPhase} | std::uint64_t{b.SynthBits} << 8 | std::uint64_t{b.SynthReg} << 16 |
         std::uint64_t{b.SynthShift} << 24 | std::uint64_t{b.SynthA} << 40);
  h.Word(std::uint64_t{b.SynthM} | std::uint64_t{b.SynthR} << 16 | std::uint64_t{b.RxIndex} << 32);
  h.Bytes(b.RxBuffer.data(), b.RxBuffer.size());
  h.Text(b.HostRxText);
  h.Bytes(b.AdcInputs.data(), b.AdcInputs.size());
  h.Bytes(b.Ecran1.Segments.data(), b.Ecran1.Segments.size());
  h.Text(b.Ecran1.Caption);
  h.Word(std::uint64_t{b.Led1Ton} | std::uint64_t{b.Led2Hp} << 1 | std::uint64_t{b.Led3Klx} << 2 |
         std::uint64_t{b.Led4MA} << 3);
  h.Text(b.LbPcf8574);
  h.Text(b.LbOutA);
  h.Text(b.LbSynth);
  const Board::Internals in = b.GetInternals();
  h.Word(std::uint64_t{in.frameOverflow} | std::uint64_t{in.outABits} << 8 | std::uint64_t{in.cbOC} << 16);
  h.Word(static_cast<std::uint32_t>(in.niveauSignal) | std::uint64_t{static_cast<std::uint32_t>(in.ocFreq)}
                                                           << 32);
  h.Word(b.Memo1.size());
  for (std::size_t i = b.Memo1.size() - std::min(memoTail, b.Memo1.size()); i < b.Memo1.size(); ++i)
    h.Text(b.Memo1[i]);
}

}  // namespace

void CaptureState(const Machine& m, const Board* board, SimState& s) {
  s.cpu = m.cpu;
  s.latch = m.latch;
  s.memory = m.Memory;
  for (std::size_t a = 0; a < s.tags.size(); ++a) s.tags[a] = m.WriteTagTable[a].tag;
  s.StackTop = m.StackTop;
  s.CycleCount = m.CycleCount;
  s.PrevCycleCount = m.PrevCycleCount;
  s.StartPC = m.StartPC;
  s.CodeEnd = m.CodeEnd;
  s.PrevPortA = m.PrevPortA;
  s.PrevPortC = m.PrevPortC;
  s.PrevPortB = m.PrevPortB;
  s.TimerVector = m.TimerVector;
  s.IrqCounter = m.IrqCounter;
  s.hasBoard = board != nullptr;
  if (board != nullptr) CaptureBoard(*board, s.board);
}

void RestoreState(const SimState& s, Machine& m, Board* board) {
  m.cpu = s.cpu;
  m.latch = s.latch;
  m.Memory = s.memory;
  for (std::size_t a = 0; a < s.tags.size(); ++a) m.WriteTagTable[a].tag = s.tags[a];
  m.StackTop = s.StackTop;
  m.CycleCount = s.CycleCount;
  m.PrevCycleCount = s.PrevCycleCount;
  m.StartPC = s.StartPC;
  m.CodeEnd = s.CodeEnd;
  m.PrevPortA = s.PrevPortA;
  m.PrevPortC = s.PrevPortC;
  m.PrevPortB = s.PrevPortB;
  m.TimerVector = s.TimerVector;
  m.IrqCounter = s.IrqCounter;
  m.StackChanged = true;  // the stack view draws the restored stack
  m.PortsMayChange = true;
  if (board != nullptr && s.hasBoard) RestoreBoard(s.board, *board);
}

std::uint64_t StateDigest(const Machine& m, const Board* board, std::size_t memoTail) {
  Hasher h;
  const CpuState& c = m.cpu;
  h.Word(std::uint64_t{c.A} | std::uint64_t{c.B} << 8 | std::uint64_t{c.X} << 16 | std::uint64_t{c.Y} << 32 |
         std::uint64_t{c.CC} << 48);
  h.Word(std::uint64_t{c.SP} | std::uint64_t{c.PC} << 16 | std::uint64_t{m.StackTop} << 32 |
         std::uint64_t{m.TimerVector} << 48);
  h.Word(static_cast<std::uint64_t>(m.CycleCount));
  h.Word(static_cast<std::uint64_t>(m.PrevCycleCount));
  h.Word(static_cast<std::uint32_t>(m.IrqCounter) | std::uint64_t{m.PrevPortA} << 32 |
         std::uint64_t{m.PrevPortB} << 40 | std::uint64_t{m.PrevPortC} << 48);
  h.Word(std::uint64_t{m.StartPC} | std::uint64_t{m.CodeEnd} << 16);
  h.Bytes(m.Memory.data(), m.Memory.size());
  // The tag bytes only: the RAM-breakpoint bits beside them are the list's.
  std::uint64_t tagBytes = 0;
  for (int i = 0; i < 4; ++i) reinterpret_cast<std::uint8_t*>(&tagBytes)[2 * i] = 0xFF;
  h.Bytes(reinterpret_cast<const std::uint8_t*>(m.WriteTagTable.data()), sizeof m.WriteTagTable, tagBytes);
  h.Word(board != nullptr ? 1 : 0);
  if (board != nullptr) HashBoard(*board, h, memoTail);
  return h.Final();
}

std::string DigestText(std::uint64_t digest) {
  return Format("%16.16llx", static_cast<unsigned long long>(digest));
}

}  // namespace hc11
