// Going back in time on generated programs and on the loop example: a moment
// reached backwards equals the same moment reached by a fresh run, and the
// reverse commands stop where a user expects.
#include "reverse/time_travel.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/decoder.h"
#include "core/instruction_table.h"
#include "debugger/breakpoints.h"
#include "debugger/session.h"
#include "tests/reverse/reverse_rig.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kCodeStart = 0xC000;
constexpr std::uint16_t kCodeEnd = 0xF000;

// Operands aimed where things happen: direct-page RAM and the register block.
std::uint16_t Target(Random& r) {
  return r.Below(3) == 0 ? static_cast<std::uint16_t>(0x1000 + r.Below(0x40))
                         : static_cast<std::uint16_t>(r.Below(0x100));
}

// Random instructions of the rows the handlers accept, with short branches
// so the program loops, jumps and calls into the code and no return (the
// stack is never balanced); the periodic interrupt lands in the same code.
void Generate(Machine& m, std::uint32_t seed) {
  Random r(seed);
  std::vector<std::pair<std::uint8_t, std::uint8_t>> forms;
  Machine scratch;  // forms whose handler refuses the mode stop every run: left out
  scratch.CodeEnd = 0xFFFF;
  for (std::uint8_t prefix : kPrefixes) {
    for (int op = 0; op < 256; ++op) {
      const auto row = LookupRow(prefix, static_cast<std::uint8_t>(op));
      if (!row) continue;
      const HandlerId h = InstructionTable[static_cast<std::size_t>(*row)].handler;
      const OperandKind kind = LookupOperandKind(prefix, static_cast<std::uint8_t>(op));
      const bool transfer = h == HandlerId::ExecJump || h == HandlerId::ExecCall;
      if (h == HandlerId::ExecUnsupported || h == HandlerId::ExecRts || h == HandlerId::ExecRti ||
          h == HandlerId::ExecTxs ||
          (transfer && kind != OperandKind::Extended && kind != OperandKind::Relative))
        continue;
      scratch.cpu = CpuState{};
      scratch.StopFlag = false;
      scratch.Memory[0] = prefix != 0 ? prefix : static_cast<std::uint8_t>(op);
      scratch.Memory[1] = static_cast<std::uint8_t>(op);
      DecodeAndExecute(scratch);
      if (scratch.StopFlag) continue;
      forms.emplace_back(prefix, op);
    }
  }
  std::vector<std::uint8_t> code;
  auto word = [&](std::uint16_t w) {
    code.push_back(static_cast<std::uint8_t>(w >> 8));
    code.push_back(static_cast<std::uint8_t>(w));
  };
  while (code.size() < kCodeEnd - kCodeStart) {
    const auto [prefix, op] = forms[r.Below(static_cast<std::uint32_t>(forms.size()))];
    if (prefix != 0) code.push_back(prefix);
    code.push_back(op);
    const HandlerId h = InstructionTable[static_cast<std::size_t>(*LookupRow(prefix, op))].handler;
    if (h == HandlerId::ExecJump || h == HandlerId::ExecCall) {
      if (LookupOperandKind(prefix, op) == OperandKind::Extended)
        word(static_cast<std::uint16_t>(kCodeStart + r.Below(kCodeEnd - kCodeStart - 16)));
      else
        code.push_back(static_cast<std::uint8_t>(r.Below(40) - 30));
      continue;
    }
    switch (LookupOperandKind(prefix, op)) {
      case OperandKind::Imm16:
        word(static_cast<std::uint16_t>(0x80 + r.Below(0x80)));
        break;
      case OperandKind::Extended:
        word(Target(r));
        break;
      case OperandKind::Relative:
        code.push_back(static_cast<std::uint8_t>(r.Below(40) - 30));
        break;
      case OperandKind::DirectMaskRel:
      case OperandKind::IndexXMaskRel:
      case OperandKind::IndexYMaskRel:
        code.push_back(static_cast<std::uint8_t>(Target(r)));
        code.push_back(static_cast<std::uint8_t>(r.Below(256)));
        code.push_back(static_cast<std::uint8_t>(r.Below(40) - 30));
        break;
      case OperandKind::DirectMask:
      case OperandKind::IndexXMask:
      case OperandKind::IndexYMask:
        code.push_back(static_cast<std::uint8_t>(Target(r)));
        code.push_back(static_cast<std::uint8_t>(r.Below(256)));
        break;
      case OperandKind::Imm8:
      case OperandKind::Direct:
      case OperandKind::IndexX:
      case OperandKind::IndexY:
      case OperandKind::Mask:
        code.push_back(static_cast<std::uint8_t>(Target(r)));
        break;
      default:
        break;
    }
  }
  std::copy_n(code.begin(), kCodeEnd - kCodeStart, m.Memory.begin() + kCodeStart);
  // Falling off the end starts over.
  m.Memory[kCodeEnd] = 0x7E;
  m.Memory[kCodeEnd + 1] = kCodeStart >> 8;
  m.Memory[kCodeEnd + 2] = kCodeStart & 0xFF;
}

// A branch into the middle of an instruction may loop over an operand byte
// that stops every run: after an error the user moves PC on.
void Unstick(Machine& m) {
  if (!m.StopMessage.empty())
    m.cpu.PC = static_cast<std::uint16_t>(kCodeStart + m.StepTotal * 7919 % (kCodeEnd - kCodeStart));
}

// A bare machine and board running a generated program; the inputs feed
// keys, serial messages and host text between runs.
struct GeneratedRig {
  GeneratedRig(std::uint32_t seed, bool record) {
    Generate(m, seed);
    m.CodeEnd = kCodeEnd + 3;
    m.StartPC = kCodeStart;
    m.ResetMachine();
    m.TimerVector = static_cast<std::uint16_t>(kCodeStart + seed % 0x200);
    m.RefreshEvery = 997;
    if (record) tt->SetRecording(true);
  }
  RecordingHooks hooks;
  Machine m{&hooks};
  RecordingMessages messages;
  Board board{m, messages};
  std::unique_ptr<TimeTravel> tt = std::make_unique<TimeTravel>(m, &board);
};

std::vector<TimedInput> GeneratedInputs(std::uint32_t seed, std::uint64_t steps) {
  Random r(seed * 7 + 1);
  std::vector<TimedInput> inputs;
  for (std::uint64_t at = r.Below(3000); at < steps; at += 1 + r.Below(6000)) {
    const std::uint32_t key = r.Below(12), kind = r.Below(6);
    std::function<void(Board&)> give;
    switch (kind) {
      case 0:
        give = [key](Board& b) { b.PressKey(key); };
        break;
      case 1:
        give = [key](Board& b) { b.ReleaseKey(key); };
        break;
      case 2:
        give = [key](Board& b) { b.PressCommand(static_cast<BoardCommand>(key % 5)); };
        break;
      case 3:
        give = [](Board& b) { b.HostReceive("AT\r\n"); };
        break;
      case 4:
        give = [key](Board& b) { b.SetNiveauSignal(static_cast<int>(key * 20)); };
        break;
      default:
        give = [key](Board& b) { key % 2 ? b.PressOnOff() : b.ClearMemo(); };
        break;
    }
    inputs.push_back({at, give});
  }
  return inputs;
}

// Run N steps with inputs, go back K, compare with a fresh run of N - K,
// for several programs and cuts, with snapshots dense, sparse and thinned.
TEST(TimeTravel, StepBackEqualsAFreshRunOnGeneratedPrograms) {
  struct Case {
    std::uint32_t seed;
    std::uint64_t steps, back;
    RecordLimits limits;
  };
  const RecordLimits dense{std::size_t{64} << 20, 1000, 1 << 20};
  const RecordLimits tiny{3 * sizeof(SimState), 700, 3000};  // a few snapshots: thinned, reach lost
  const Case cases[] = {
      {1, 50000, 1, {}},   {2, 50000, 1234, dense}, {3, 80000, 40000, dense}, {4, 30000, 29999, {}},
      {5, 60000, 7, tiny}, {6, 60000, 2500, tiny},  {7, 120000, 333, dense},  {8, 20000, 20000, dense},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("seed " + std::to_string(c.seed));
    const auto inputs = GeneratedInputs(c.seed, c.steps);
    GeneratedRig a(c.seed, true);
    a.tt->SetLimits(c.limits);
    DriveTo(a.m, a.board, inputs, c.steps, Unstick);
    const std::size_t messagesBefore = a.messages.shown.size();
    const BackResult back = a.tt->StepBack(c.back);
    ASSERT_NE(back.stop, BackStop::None);
    EXPECT_EQ(a.m.StepTotal, c.steps - back.stepsBack);
    EXPECT_EQ(back.stop == BackStop::Stepped, back.stepsBack == c.back);
    EXPECT_EQ(a.messages.shown.size(), messagesBefore) << "a replay showed a message";
    if (c.limits.budgetBytes < (std::size_t{1} << 20)) {
      EXPECT_GT(a.tt->EarliestStep(), 0u) << "the reach should shrink";
    }

    GeneratedRig b(c.seed, false);
    DriveTo(b.m, b.board, inputs, a.m.StepTotal, Unstick);
    EXPECT_EQ(Moment(a.m, a.board), Moment(b.m, b.board));
  }
}

// After going back, a forward run continues from there with new inputs; the
// old future (with its inputs) is gone.
TEST(TimeTravel, ForwardAfterBackDiscardsTheFuture) {
  const std::vector<TimedInput> first = GeneratedInputs(11, 40000);
  GeneratedRig a(11, true);
  a.tt->SetLimits({std::size_t{64} << 20, 2000, 1 << 20});
  DriveTo(a.m, a.board, first, 40000, Unstick);
  a.tt->StepBack(15000);
  ASSERT_EQ(a.m.StepTotal, 25000u);
  // A different future: a message at once, then more steps.
  a.board.PressCommand(BoardCommand::SauvCfg);
  std::size_t none = 0;
  DriveTo(a.m, a.board, {}, none, 31000, Unstick);
  a.tt->StepBack(3000);

  std::vector<TimedInput> second;
  for (const TimedInput& in : first)
    if (in.step <= 25000) second.push_back(in);
  second.push_back({25000, [](Board& b) { b.PressCommand(BoardCommand::SauvCfg); }});
  GeneratedRig b(11, false);
  DriveTo(b.m, b.board, second, 28000, Unstick);
  EXPECT_EQ(Moment(a.m, a.board), Moment(b.m, b.board));
}

// The loop example: A counts, $10 follows A, "compte" counts the passes in X.
class LoopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    session.SetUseWorkspace(false);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/loop/loop");
    session.timeTravel().SetRecording(true);
    session.timeTravel().SetLimits({std::size_t{64} << 20, 50, 1 << 20});
  }
  Machine& m() { return session.machine(); }
  void Break(std::uint16_t address, std::uint8_t state, char kind = 'C') {
    session.breakpoints().Append({"bp", address, kind, state}, true);
  }
  void Run(std::uint64_t steps) {
    m().StepBudget = steps;
    RunCommand(m(), u'x', false);
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
};

TEST_F(LoopProgram, RunBackStopsAtEachEarlierCodeBreakThenAtTheStart) {
  Break(0xE014, 2);  // "compte"
  for (int i = 0; i < 3; ++i) Run(0);
  ASSERT_EQ(m().cpu.X, 2);  // the third stop, before its increment
  Run(5);                   // a few steps past the breakpoint
  TimeTravel& tt = session.timeTravel();
  for (std::uint16_t x : {2, 1, 0}) {
    const BackResult r = tt.RunBack();
    EXPECT_EQ(r.stop, BackStop::Breakpoint);
    EXPECT_FALSE(r.ramAccess);
    EXPECT_EQ(m().cpu.PC, 0xE014);
    EXPECT_EQ(m().cpu.X, x);
  }
  const BackResult start = tt.RunBack();
  EXPECT_EQ(start.stop, BackStop::StartOfRecord);
  EXPECT_EQ(m().cpu.PC, 0xE000);
  EXPECT_EQ(m().StepTotal, tt.EarliestStep());
  EXPECT_EQ(tt.RunBack().stepsBack, 0u);
}

TEST_F(LoopProgram, RunBackFindsBreakpointsSetAfterTheRunAndIgnoresTraceAndInactive) {
  Run(1000);
  Break(0xE00D, 3);  // Trace: a run goes on
  Break(0xE007, 1);  // inactive
  EXPECT_EQ(session.timeTravel().RunBack().stop, BackStop::StartOfRecord);
  Run(1000);
  Break(0xE014, 2);
  const BackResult r = session.timeTravel().RunBack();
  EXPECT_EQ(r.stop, BackStop::Breakpoint);
  EXPECT_EQ(m().cpu.PC, 0xE014);
  // The last pass counted before the run ended: one more than X here.
  Run(0);
  EXPECT_EQ(m().cpu.PC, 0xE014);
}

TEST_F(LoopProgram, RunBackStopsAfterTheRamWriteABreakWatches) {
  Break(0x0010, 2, 'I');  // every "stA $10" stops a run
  Run(0);
  Run(0);
  Run(0);
  ASSERT_EQ(m().Memory[0x10], 3);
  const BackResult r = session.timeTravel().RunBack();
  EXPECT_EQ(r.stop, BackStop::Breakpoint);
  ASSERT_TRUE(r.ramAccess);
  EXPECT_EQ(r.ramAccess->address, 0x0010);
  EXPECT_EQ(r.ramAccess->kind, 'I');
  ASSERT_TRUE(session.breakpoints().RamBreakEntry());
  EXPECT_EQ(session.breakpoints().RamBreakEntry()->line, "0010 I Break    bp");
  EXPECT_EQ(m().Memory[0x10], 2);
  EXPECT_EQ(m().cpu.PC, 0xE00D);  // right after the store
  session.breakpoints().ClearAll();
  Break(0x0010, 3, 'm');  // Trace only
  EXPECT_EQ(session.timeTravel().RunBack().stop, BackStop::StartOfRecord);
}

TEST_F(LoopProgram, StepBackOverReturnsToTheCall) {
  Break(0xE012, 2);  // "jr debut", right after "callr compte" returned
  Run(0);
  ASSERT_EQ(m().cpu.X, 1);
  TimeTravel& tt = session.timeTravel();
  const BackResult over = tt.StepBackOver();
  EXPECT_EQ(over.stop, BackStop::Stepped);
  EXPECT_EQ(over.stepsBack, 3u);  // ret, incX, callr
  EXPECT_EQ(m().cpu.PC, 0xE010);
  EXPECT_EQ(m().cpu.X, 0);
  EXPECT_EQ(m().cpu.SP, 0x00FF);
  // Not after a return: one step.
  EXPECT_EQ(tt.StepBackOver().stepsBack, 1u);
  EXPECT_EQ(m().cpu.PC, 0xE00E);
}

TEST_F(LoopProgram, ARunCommandShowsTheReachAndEditsWhileStoppedAreKept) {
  Run(100);
  m().cpu.A = 0x80;  // a register edit while stopped
  Run(100);
  TimeTravel& tt = session.timeTravel();
  tt.StepBack(100);
  EXPECT_EQ(m().cpu.A, 0x80);
  tt.StepBack(1);
  EXPECT_NE(m().cpu.A, 0x80);
  EXPECT_EQ(ReachText(tt, m().CycleBase), "retour possible jusqu'à cycle 0");
  session.Init(true);  // a new start forgets the record
  EXPECT_FALSE(tt.HasRecord());
  EXPECT_EQ(tt.StepBack(1).stop, BackStop::None);
}

}  // namespace
}  // namespace hc11::test
