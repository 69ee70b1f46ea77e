// Long generated programs replayed against recorded runs. The generator emits
// every (prefix, opcode) that has a table row with operands aimed at RAM, the
// register block, forbidden memory and the code itself; the board is attached
// and the periodic interrupt is provoked. Each golden file holds, every few
// steps, the registers, the count and a hash chained over every step's state
// and memory writes, plus every stop message, trace line and beep in full.
//
// Regenerate after an intended change of behaviour:
//   HC11_UPDATE_GOLDEN=1 build/tests/core/hc11_replay_tests
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/decoder.h"
#include "core/hex_loader.h"
#include "core/machine.h"
#include "core/run_engine.h"
#include "core/text_util.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kCodeStart = 0xC000;
constexpr std::uint16_t kCodeEnd = 0xFFE0;
constexpr std::uint32_t kLinePeriod = 32;

class Random {
 public:
  explicit Random(std::uint32_t seed) : s_(seed) {}
  std::uint32_t Next() {
    s_ = s_ * 1664525u + 1013904223u;
    return s_ >> 8;
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint32_t s_;
};

// An address worth touching: direct-page RAM, the register block (ports,
// SCI, A/D), forbidden memory or the code.
std::uint16_t InterestingAddress(Random& r) {
  switch (r.Below(8)) {
    case 0:
    case 1:
    case 2:
      return static_cast<std::uint16_t>(r.Below(0x100));
    case 3:
    case 4:
      return static_cast<std::uint16_t>(0x1000 + r.Below(0x40));
    case 5:
      return static_cast<std::uint16_t>(0x2000 + r.Below(0x100));
    default:
      return static_cast<std::uint16_t>(kCodeStart + r.Below(kCodeEnd - kCodeStart));
  }
}

void Emit(std::vector<std::uint8_t>& out, Random& r, OperandKind kind) {
  auto word = [&](std::uint16_t w) {
    out.push_back(static_cast<std::uint8_t>(w >> 8));
    out.push_back(static_cast<std::uint8_t>(w));
  };
  auto offset = [&] { out.push_back(static_cast<std::uint8_t>(r.Below(48) - 24)); };
  auto byte = [&] { out.push_back(static_cast<std::uint8_t>(r.Below(256))); };
  switch (kind) {
    case OperandKind::Imm16:
      // Mostly stack and index values that point somewhere useful.
      word(r.Below(4) == 0 ? static_cast<std::uint16_t>(0x80 + r.Below(0x80)) : InterestingAddress(r));
      break;
    case OperandKind::Extended:
      word(InterestingAddress(r));
      break;
    case OperandKind::Relative:
      offset();
      break;
    case OperandKind::DirectMaskRel:
    case OperandKind::IndexXMaskRel:
    case OperandKind::IndexYMaskRel:
      byte(), byte(), offset();
      break;
    case OperandKind::DirectMask:
    case OperandKind::IndexXMask:
    case OperandKind::IndexYMask:
      byte(), byte();
      break;
    case OperandKind::Imm8:
    case OperandKind::Direct:
    case OperandKind::IndexX:
    case OperandKind::IndexY:
    case OperandKind::Mask:
      byte();
      break;
    default:
      break;
  }
}

// Code from kCodeStart to kCodeEnd: random instructions of every row.
void Generate(Machine& m, std::uint32_t seed) {
  Random r(seed);
  // Every (prefix, opcode) with a row; forms the handlers refuse come less often.
  std::vector<std::pair<std::uint8_t, std::uint8_t>> forms, refused;
  Machine scratch;
  scratch.CodeEnd = 0xFFFF;
  for (std::uint8_t prefix : kPrefixes) {
    for (int op = 0; op < 256; ++op) {
      if (!LookupRow(prefix, static_cast<std::uint8_t>(op))) continue;
      scratch.cpu = CpuState{};
      scratch.StopFlag = false;
      scratch.Memory[0] = prefix != 0 ? prefix : static_cast<std::uint8_t>(op);
      scratch.Memory[1] = static_cast<std::uint8_t>(op);
      DecodeAndExecute(scratch);
      (scratch.StopFlag ? refused : forms).emplace_back(prefix, op);
    }
  }
  std::vector<std::uint8_t> code;
  while (code.size() < kCodeEnd - kCodeStart) {
    const auto& pool = r.Below(16) == 0 ? refused : forms;
    const auto [prefix, opcode] = pool[r.Below(static_cast<std::uint32_t>(pool.size()))];
    if (prefix != 0) code.push_back(prefix);
    code.push_back(opcode);
    Emit(code, r, LookupOperandKind(prefix, opcode));
  }
  std::copy(code.begin(), code.begin() + (kCodeEnd - kCodeStart), m.Memory.begin() + kCodeStart);
}

class ReplayHooks : public RecordingHooks {
 public:
  std::uint32_t TickCount() override { return tick += 7; }
  void Beep(int hz, int ms) override { log += Format("  beep %d %d\n", hz, ms); }
  void TraceLineAdded(const std::string& line) override { log += "  trace " + line + "\n"; }
  void ProcessEvents() override { ++events; }
  void RefreshDuringRun() override { ++refreshes; }
  std::string BreakpointLine(std::uint16_t a) override { return Format("%4.4x C bp", a); }

  std::string log;
  int events = 0, refreshes = 0;
};

struct Rig {
  explicit Rig(std::uint32_t seed) {
    Generate(m, seed);
    m.CodeEnd = kCodeEnd;
    m.StartPC = kCodeStart;
    m.ResetMachine();
    m.TimerVector = static_cast<std::uint16_t>(kCodeStart + seed % 0x100);
    m.cpu.SP = 0x00FF;
  }
  std::string State() const {
    const CpuState& c = m.cpu;
    return Format("%4.4x A=%2.2x B=%2.2x X=%4.4x Y=%4.4x S=%4.4x C=%2.2x n=%lld i=%d", c.PC, c.A, c.B, c.X,
                  c.Y, c.SP, c.CC, static_cast<long long>(m.CycleCount), static_cast<int>(m.IrqCounter));
  }

  ReplayHooks hooks;
  Machine m{&hooks};
  SilentMessages messages;
  Board board{m, messages};
};

class Fnv {
 public:
  void Add(std::string_view s) {
    for (char ch : s) h_ = (h_ ^ static_cast<std::uint8_t>(ch)) * 16777619u;
  }
  std::uint32_t value() const { return h_; }

 private:
  std::uint32_t h_ = 2166136261u;
};

// The row the decoder will take for the instruction at PC, if any.
std::optional<int> RowAtPc(const Machine& m) {
  std::uint8_t prefix = 0, opcode = m.Memory[m.cpu.PC];
  if (Decoder().prefixSlot[opcode] != 0) {
    prefix = opcode;
    opcode = m.Memory[static_cast<std::uint16_t>(m.cpu.PC + 1)];
  }
  return LookupRow(prefix, opcode);
}

// New registers, PC somewhere in the code, and at times an interrupt due soon.
void Scatter(Machine& m, Random& r) {
  m.cpu = CpuState{static_cast<std::uint8_t>(r.Below(256)),
                   static_cast<std::uint8_t>(r.Below(256)),
                   InterestingAddress(r),
                   InterestingAddress(r),
                   static_cast<std::uint16_t>(0x80 + r.Below(0x80)),
                   static_cast<std::uint16_t>(kCodeStart + r.Below(kCodeEnd - kCodeStart)),
                   static_cast<std::uint8_t>(r.Below(256))};
  if (!m.TestFlag(FlagI) && r.Below(4) == 0) m.IrqCounter = 9990 + static_cast<std::int32_t>(r.Below(20));
}

// Single steps, as the window's step command takes them. Every 40 steps the
// driver scatters the registers and PC over the code so that short loops do
// not dominate; it also brings the periodic interrupt close whenever I is clear.
std::string ReplaySteps(std::uint32_t seed, std::uint32_t steps, std::set<int>& rows) {
  Rig rig(seed);
  Machine& m = rig.m;
  Random r(seed ^ 0x5A5A5A5Au);
  std::string out;
  Fnv hash;
  auto shadow = m.Memory;
  for (std::uint32_t i = 1; i <= steps; ++i) {
    if (i % 40 == 0) Scatter(m, r);
    const std::uint16_t pc = m.cpu.PC;
    if (const auto row = RowAtPc(m)) rows.insert(*row);
    Step(m);
    std::string line = rig.State();
    for (std::size_t a = 0; a < shadow.size(); ++a) {
      if (shadow[a] == m.Memory[a]) continue;
      line += Format(" %4.4x=%2.2x", static_cast<unsigned>(a), m.Memory[a]);
      shadow[a] = m.Memory[a];
    }
    line += Format(" p=%2.2x%2.2x%2.2x", m.PrevPortA, m.PrevPortB, m.PrevPortC);
    hash.Add(line);
    if (m.StopFlag) {
      rig.hooks.log += "  stop " + m.StopMessage + "\n";
      m.StopFlag = false;
      // Outside the generated code, or an opcode that cannot move on: go elsewhere.
      if (m.cpu.PC == pc || m.cpu.PC < kCodeStart || m.cpu.PC > m.CodeEnd)
        m.cpu.PC = static_cast<std::uint16_t>(kCodeStart + r.Below(kCodeEnd - kCodeStart));
    }
    if (i % kLinePeriod == 0 || !rig.hooks.log.empty()) {
      std::string tags;
      if (i % 1024 == 0)
        for (const WriteTagEntry& e : m.WriteTagTable) tags += static_cast<char>('0' + e.tag);
      hash.Add(tags);
      out += Format("%6u %s h=%8.8x\n", i, rig.State().c_str(), hash.value()) + rig.hooks.log;
      rig.hooks.log.clear();
    }
  }
  return out;
}

// Run commands of every mode with breakpoints, history and a step budget.
std::string ReplayCommands(std::uint32_t seed, int commands) {
  Rig rig(seed);
  Machine& m = rig.m;
  Random r(seed ^ 0xC3C3C3C3u);
  for (int k = 0; k < 40; ++k)
    m.tInst[kCodeStart + r.Below(kCodeEnd - kCodeStart)] = static_cast<std::uint8_t>(2 + r.Below(2));
  m.HistoryEnabled = true;
  m.RefreshEvery = 97;
  std::string out;
  static constexpr char16_t kModes[] = {kModeRun,      kModeRun,   kModeStep,
                                        kModeStepOver, kModeRunTo, kModeReturnUp};
  for (int k = 0; k < commands; ++k) {
    if (k % 2 == 0 || m.cpu.PC < kCodeStart || m.cpu.PC > m.CodeEnd) Scatter(m, r);
    const char16_t mode = kModes[r.Below(6)];
    m.StepBudget = 1 + r.Below(4000);
    if (mode == kModeRunTo)
      m.RunTarget = static_cast<std::uint16_t>(kCodeStart + r.Below(kCodeEnd - kCodeStart));
    if (mode == kModeReturnUp) {
      ReturnUpCommand(m);
    } else {
      RunCommand(m, mode, mode == kModeStepOver);
    }
    Fnv history;
    for (const HistoryEntry& e : m.StepHistory) history.Add(Format("%x %x %x %x,", e.PC, e.A, e.B, e.CC));
    out += Format("%4d %c %s steps=%u hist=%8.8x ev=%d/%d\n", k, static_cast<char>(mode), rig.State().c_str(),
                  m.HistoryCount, history.value(), rig.hooks.events, rig.hooks.refreshes);
    out += "  reason " + rig.hooks.stopReason + "\n  line " + rig.hooks.traceLine + "\n" + rig.hooks.log;
    rig.hooks.log.clear();
  }
  return out;
}

// The bundled firmware on the board: keys, serial commands, the periodic
// interrupt, I2C and synthesiser traffic. Trace lines are folded into a hash.
std::string ReplayDemo(int commands) {
  ReplayHooks hooks;
  Machine m{&hooks};
  SilentMessages messages;
  Board board{m, messages};
  board.I2cTrace = true;
  board.SynthTrace = true;
  m.StartPC = 0xE000;
  EXPECT_TRUE(LoadProgramImage(m, std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.HEX", messages));
  m.HistoryEnabled = true;
  m.tInst[m.TimerVector] = 3;
  std::string out;
  Random r(77);
  for (int k = 0; k < commands; ++k) {
    if (k % 3 == 1) board.PressKey(r.Below(12));
    if (k % 3 == 2) board.ReleaseKey(r.Below(12));
    if (k % 10 == 5) board.PressCommand(static_cast<BoardCommand>(r.Below(5)));
    m.StepBudget = 1 + r.Below(60000);
    RunCommand(m, kModeRun, false);
    Fnv trace, ram;
    trace.Add(hooks.log);
    ram.Add(std::string_view(reinterpret_cast<const char*>(m.Memory.data()), 0x1040));
    for (const HistoryEntry& e : m.StepHistory) ram.Add(Format("%x %x %x %x,", e.PC, e.A, e.B, e.CC));
    out += Format("%3d %s steps=%u ram=%8.8x trace=%8.8x\n  reason %s\n", k,
                  Format("%4.4x A=%2.2x B=%2.2x X=%4.4x Y=%4.4x S=%4.4x C=%2.2x n=%lld i=%d", m.cpu.PC,
                         m.cpu.A, m.cpu.B, m.cpu.X, m.cpu.Y, m.cpu.SP, m.cpu.CC,
                         static_cast<long long>(m.CycleCount), static_cast<int>(m.IrqCounter))
                      .c_str(),
                  m.HistoryCount, ram.value(), trace.value(), hooks.stopReason.c_str());
    hooks.log.clear();
  }
  return out;
}

void CompareWithGolden(const std::string& name, const std::string& actual) {
  const std::string path = std::string(HC11_SOURCE_DIR) + "/tests/core/golden/" + name;
  if (std::getenv("HC11_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden file " << path;
  std::stringstream expected;
  expected << in.rdbuf();
  std::istringstream a(actual), e(expected.str());
  std::string la, le;
  for (int line = 1; std::getline(e, le); ++line) {
    ASSERT_TRUE(std::getline(a, la)) << name << ": output ends before line " << line;
    ASSERT_EQ(la, le) << name << ": first difference at line " << line;
  }
  EXPECT_FALSE(std::getline(a, la)) << name << ": extra output: " << la;
}

TEST(Replay, SingleStepsMatchTheRecordedRuns) {
  std::set<int> rows;
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    CompareWithGolden(Format("steps_%u.txt", seed), ReplaySteps(seed, 20000, rows));
  }
  // Every row but the three shadowed ones ("ei" behind "cli", the second
  // "lsl", and "stop" behind the refused slot of "stX" in the designed mode).
  EXPECT_EQ(rows.size(), static_cast<std::size_t>(kInstructionRows - 3));
  EXPECT_FALSE(rows.contains(17) || rows.contains(90) || rows.contains(144));
}

TEST(Replay, RunCommandsMatchTheRecordedRuns) {
  for (std::uint32_t seed : {4u, 5u}) {
    SCOPED_TRACE(seed);
    CompareWithGolden(Format("commands_%u.txt", seed), ReplayCommands(seed, 300));
  }
}

TEST(Replay, TheDemoFirmwareMatchesItsRecordedRun) {
  CompareWithGolden("demo.txt", ReplayDemo(120));
}

}  // namespace
}  // namespace hc11::test
