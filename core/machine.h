// The simulated processor, its memory and every variable the run engine
// shares with the handlers. One Machine is one board's processor; tests make
// a fresh one per case.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/break_rules.h"
#include "core/break_state.h"
#include "core/stack_depth.h"
#include "core/state_visitor.h"
#include "core/step_observer.h"
#include "core/stop_event.h"
#include "core/ui_hooks.h"

namespace hc11 {

// CC bits (68HC11 layout).
enum CcFlag : std::uint8_t {
  FlagC = 0x01,
  FlagV = 0x02,
  FlagZ = 0x04,
  FlagN = 0x08,
  FlagI = 0x10,
  FlagH = 0x20,
  FlagX = 0x40,
  FlagS = 0x80
};

// Whether the processor executes or waits: after WAI (frame stacked) or STOP
// (clock stopped) it executes nothing until an interrupt wakes it.
enum class CpuHalt : std::uint8_t { None, Wait, Stop };

struct CpuState {
  std::uint8_t A = 0;
  std::uint8_t B = 0;
  std::uint16_t X = 0;
  std::uint16_t Y = 0;
  std::uint16_t SP = 0;
  std::uint16_t PC = 0;
  std::uint8_t CC = 0;
};

// Filled by the decoder for the current instruction, read by its handler.
struct OperandLatch {
  std::uint8_t AddrMode = 0;  // 0 inherent, 1 imm8, 2 imm16, 3 direct/extended, 4 relative, 5 indexed
  std::uint8_t imm8 = 0xAA;
  std::uint8_t mask = 0xAA;
  std::uint16_t imm16 = 0xAAAA;
  std::uint16_t address = 0xAAAA;
  std::uint16_t branchTarget = 0xAAAA;
  std::uint16_t indexedAddress = 0xAAAA;
  std::uint8_t row = 0;
  std::uint8_t opcode = 0;
  std::uint8_t prefix = 0;
};

enum WriteTag : std::uint8_t { TagData = 0, TagReturnAddress = 1, TagForbidden = 3 };

// Bits of WriteTagEntry::ramBreak: which accesses to the address a RAM
// breakpoint acts on. The breakpoint list sets them through
// Machine::SetRamBreakBits; clearing the write tags drops them with the tags.
enum RamBreakBit : std::uint8_t { RamBreakWrite = 1, RamBreakRead = 2, RamBreakChange = 4 };

struct WriteTagEntry {
  std::uint8_t tag = 0;
  std::uint8_t ramBreak = 0;
};

class Machine;

// Told of an access to an address with RAM-breakpoint bits, after the access,
// during a run only. `kind` is 'I' (write), 'i' (read) or 'm' (a write that
// changed the byte).
class RamBreakHandler {
 public:
  virtual ~RamBreakHandler() = default;
  virtual void RamBreakHit(Machine& m, std::uint16_t address, char kind) = 0;
};

// What the on-chip devices ask of the processor when they are serviced.
struct ChipRequest {
  enum class Kind : std::uint8_t { None, Interrupt, Reset };
  Kind kind = Kind::None;
  std::uint16_t vector = 0;  // where the routine's address is read ($FFD6-$FFFE)
};

struct HistoryEntry {
  std::uint16_t PC = 0, A = 0, B = 0, CC = 0;
};

// The board's devices as the memory hooks see them. The core calls these only
// for addresses of the register block ($1000-$103F), so plain memory pays
// nothing for the board.
class Peripherals {
 public:
  virtual ~Peripherals() = default;
  // After a byte at `address` was tagged and stored by MemWrite8.
  virtual void AfterWrite8(std::uint16_t address, std::uint8_t value) = 0;
  // A hooked byte read; returns the byte the processor sees.
  virtual std::uint8_t Read8(std::uint16_t address) = 0;
  // After both bytes of a 16-bit hooked store were written.
  virtual void AfterWrite16(std::uint16_t address, std::uint16_t value) = 0;
  // The board's share of ResetMachine.
  virtual void BoardReset() = 0;
  // A run command begins (the serial link forgets the host text it received).
  virtual void RunStarted() {}
  // Exact mode: brings the on-chip devices up to CycleCount and names the
  // interrupt to take (only a maskable one when `unmasked`) or a reset.
  // Sets ChipDueAt and IrqPending for the next call.
  virtual ChipRequest ServiceChip(bool unmasked) {
    (void)unmasked;
    return {};
  }
};

// Told by the run loop where it may look at the whole machine: before the
// first step of a run command, between batches of steps (never inside one)
// and after the last step. The time-travel record keeps its snapshots here.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void RunBegins(Machine& m) = 0;
  // After a batch and the host's event processing; StepTotal is current.
  virtual void BatchDone(Machine& m) = 0;
  virtual void RunEnds(Machine& m) = 0;
  // Steps the loop may take before the next BatchDone is wanted.
  virtual std::uint64_t StepsUntilDue(const Machine& m) const = 0;
};

inline constexpr std::uint16_t kRegisterBlockStart = 0x1000;
inline constexpr std::uint16_t kRegisterBlockEnd = 0x103F;
inline constexpr std::size_t kHistorySize = 1024;

class Machine {
 public:
  explicit Machine(UiHooks* hooks = nullptr);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // --- Processor and memory ---------------------------------------------
  CpuState cpu;
  std::array<std::uint8_t, 65536> Memory{};
  std::array<WriteTagEntry, 65536> WriteTagTable{};
  OperandLatch latch;
  std::uint16_t StackTop = 0;
  std::uint16_t SavedSP = 0;
  bool StackChanged = false;
  // Lowest SP since reset, fed by the run engine after every step.
  StackDepth StackLow;
  // Counts in 64 bits: at full speed 2^31 counts pass in seconds.
  std::int64_t CycleCount = 0;
  std::int64_t CycleBase = 0;
  // CycleCount when the board last accounted time. The board's running total
  // of elapsed counts starts at zero with it at reset and grows by exactly
  // what it moves, so it is this value and is not kept twice.
  std::int64_t PrevCycleCount = 0;
  std::uint16_t StartPC = 0;
  std::uint16_t CodeEnd = 0;
  std::uint8_t PrevPortA = 0, PrevPortC = 0, PrevPortB = 0;
  std::uint16_t TimerVector = 0;
  std::int32_t IrqCounter = 0;
  // "Processeur exact": the chip's own rules and E-clock cycles instead of
  // the designed ones; the on-chip devices keep their own time and raise the
  // interrupts, and nothing fires every kIrqPeriod steps.
  bool Exact = false;
  CpuHalt Halt = CpuHalt::None;
  // Exact mode: an enabled maskable source waits for the I bit to clear.
  bool IrqPending = false;
  // Exact mode: the CycleCount at which the devices next change a flag.
  std::int64_t ChipDueAt = std::numeric_limits<std::int64_t>::max();
  // Exact mode: the run loop's one test; from this CycleCount on, a step asks
  // the devices first. Follows from ChipDueAt, IrqPending and I, and is taken
  // again wherever one of them may change (the devices, an instruction that
  // may clear I, an interrupt entry, a command's start, a loaded state).
  std::int64_t ChipAttentionAt = std::numeric_limits<std::int64_t>::max();
  void ChipAttentionChanged() {
    ChipAttentionAt = IrqPending && !TestFlag(FlagI) ? std::numeric_limits<std::int64_t>::min() : ChipDueAt;
  }
  // The next step asks the devices whatever the time.
  void ChipAttentionNow() { ChipAttentionAt = std::numeric_limits<std::int64_t>::min(); }

  // Step history ring.
  std::array<HistoryEntry, kHistorySize> StepHistory{};
  std::uint32_t HistoryIndex = 0;
  std::uint32_t HistoryCount = 0;
  bool HistoryEnabled = false;  // "Tracer instructions détaillé"

  // Per-address code-breakpoint state (the tInst records' BreakState byte).
  std::array<std::uint8_t, 65536> tInst{};

  // --- Run engine -------------------------------------------------------
  char16_t RunMode = kModeStop;
  std::uint16_t RunTarget = 0;
  std::uint16_t RunStartPC = 0;
  bool StepOverCalls = false;
  bool StepOverArmed = false;
  // "Remonter du SP" met its return: the run stops as a step does.
  bool ReturnedUp = false;
  bool StopFlag = false;
  std::string StopMessage;
  // What the raised error was (with StopMessage).
  ErrorKind StopError = ErrorKind::None;
  // A RAM breakpoint asked for a stop: the first access of the step that
  // did. It stops as a breakpoint when no error was raised in the same step.
  bool BreakRequested = false;
  std::uint16_t BreakAddress = 0;
  char BreakAccess = 0;
  // How the last run command ended, as the stop test saw it.
  StopEvent Stop;
  std::int32_t RefreshEvery = 10000;
  std::int32_t StepCounter = 0;
  bool Idle = true;
  std::int64_t EventTimeRef = 0;  // CycleCount - CycleBase at the previous event line
  // Steps after which each run command stops as "Arret" would; 0 = no bound.
  std::uint64_t StepBudget = 0;
  // Steps executed since the machine was made: the clock of the time-travel
  // record. The run loop brings it up to date after each batch of steps.
  std::uint64_t StepTotal = 0;
  // Null costs nothing: the run loop tests it once per batch.
  RunObserver* Observer = nullptr;
  // Raised by every write that may have changed a port (a register-block
  // write, and the engine whenever the host ran; no register read changes
  // one); the port snapshots are taken only at the end of a step that
  // follows, so plain steps and polling reads skip them.
  bool PortsMayChange = true;
  // Coverage and profile counting after every step; null: none, at no cost.
  StepObserver* Counters = nullptr;
  // Breakpoint conditions and the watched expression; null or WatchSet false:
  // the run loop never asks.
  BreakRules* Rules = nullptr;
  bool WatchSet = false;

  // --- Register helpers -------------------------------------------------
  std::uint16_t GetD() const { return static_cast<std::uint16_t>(cpu.A << 8 | cpu.B); }
  void SetD(std::uint16_t v) {
    cpu.A = static_cast<std::uint8_t>(v >> 8);
    cpu.B = static_cast<std::uint8_t>(v);
  }
  void SetFlag(std::uint8_t mask, bool on) {
    cpu.CC = on ? static_cast<std::uint8_t>(cpu.CC | mask) : static_cast<std::uint8_t>(cpu.CC & ~mask);
  }
  bool TestFlag(std::uint8_t mask) const { return (cpu.CC & mask) != 0; }
  // N and Z from the value, V cleared, C kept: the rule of loads, stores,
  // transfers and logic operations.
  void SetNZ0_8(std::uint8_t v) {
    cpu.CC = static_cast<std::uint8_t>((cpu.CC & ~(FlagN | FlagZ | FlagV)) | (v >> 4 & FlagN) |
                                       unsigned{v == 0} << 2);
  }
  void SetNZ0_16(std::uint16_t v) {
    cpu.CC = static_cast<std::uint8_t>((cpu.CC & ~(FlagN | FlagZ | FlagV)) | (v >> 12 & FlagN) |
                                       unsigned{v == 0} << 2);
  }

  // --- Stack ------------------------------------------------------------
  void Push8(std::uint8_t value, std::uint8_t tag);
  void Push16(std::uint16_t value, std::uint8_t tag);
  std::uint8_t Pull8();
  std::uint16_t Pull16();

  // --- Memory hooks -----------------------------------------------------
  // Plain memory takes the inline path; only the register block reaches the
  // devices, and only when a board is attached.
  std::uint8_t MemRead8(std::uint16_t address) {
    // One branch for a plain byte: a watched read or the devices take the full path.
    const bool full =
        (WriteTagTable[address].ramBreak & RamBreakRead) | (IsRegisterBlock(address) & (devices_ != nullptr));
    if (full) [[unlikely]]
      return MemRead8Full(address);
    return Memory[address];
  }
  std::uint16_t MemRead16(std::uint16_t address) {
    const std::uint8_t high = MemRead8(address);
    return static_cast<std::uint16_t>(high << 8 | MemRead8(static_cast<std::uint16_t>(address + 1)));
  }
  void MemWrite8(std::uint16_t address, std::uint8_t value, std::uint8_t tag) {
    WriteTagEntry& entry = WriteTagTable[address];
    // One branch keeps plain memory fast: forbidden bytes, RAM breakpoints
    // and the register block take the full path.
    if ((entry.tag == TagForbidden) | (entry.ramBreak != 0) | IsRegisterBlock(address)) [[unlikely]]
      return MemWrite8Full(address, value, tag);
    entry.tag = tag;
    Memory[address] = value;
  }
  void MemWrite16(std::uint16_t address, std::uint16_t value);
  // Read-modify-write through MemWrite8 (tag 0): the devices see the change.
  void SetBitHooked(std::uint16_t address, std::uint8_t mask, bool on);
  // The same change made in Memory only, with no device reaction.
  void SetBitRaw(std::uint16_t address, std::uint8_t mask, bool on);
  // A handler's own write straight into Memory (no devices, no tags).
  void WriteDirect(std::uint16_t address, std::uint8_t value) {
    Memory[address] = value;
    if (IsRegisterBlock(address)) [[unlikely]]
      PortsMayChange = true;
  }

  // Accesses that bypass the hooks (handlers reading or changing memory in
  // place) still count for RAM breakpoints; nothing else about them changes.
  // With no RAM breakpoint set anywhere, each check is one test of a counter.
  void NoteRead(std::uint16_t address) {
    if (ramBreakCount_ != 0) [[unlikely]]
      RamBreakRead8(address);
  }
  void NoteWrite(std::uint16_t address, std::uint8_t old, std::uint8_t value) {
    if (ramBreakCount_ != 0) [[unlikely]]
      RamBreakWritten(address, old, value);
  }
  // The breakpoint list's registration of an address (0: none).
  void SetRamBreakBits(std::uint16_t address, std::uint8_t bits);
  // A RAM breakpoint in state "Break" saw `access` to `address`: the run
  // stops after this step (the first request of a step wins).
  void RequestBreak(std::uint16_t address, char access);

  // --- Reset, errors, trace ---------------------------------------------
  void ResetMachine();
  // The board's clock: the counts elapsed since its previous accounting join
  // its running total (PrevCycleCount).
  void AccountBoardTime() { PrevCycleCount = CycleCount; }
  // Simulated milliseconds for a number of cycle counts.
  static long double CountsToMs(std::int64_t counts);
  void ClearWriteTags();
  // StopMessage <- text, a 500 Hz beep for 100 ms, StopFlag raised.
  void ReportError(ErrorKind kind, std::string text);
  // Formats the timed event line and reports it as a trace line.
  void EventTrace(std::string_view text);
  // A trace line goes to the host, which keeps the trace list.
  void AppendTraceLine(const std::string& line) { hooks_->TraceLineAdded(line); }

  // --- State ------------------------------------------------------------
  // The simulated processor: registers, operand latch, memory with its write
  // tags (not the RAM-breakpoint bits beside them, which are the list's),
  // counters and port snapshots. The step history, breakpoint states, stack
  // mark, run-command variables and trace are the debugger's, not visited.
  void Visit(StateVisitor& v);

  // --- Wiring -----------------------------------------------------------
  static bool IsRegisterBlock(std::uint16_t address) { return (address & 0xFFC0) == kRegisterBlockStart; }
  UiHooks& hooks() { return *hooks_; }
  void SetHooks(UiHooks* hooks);
  void SetPeripherals(Peripherals* devices) { devices_ = devices; }
  Peripherals* peripherals() const { return devices_; }
  void SetRamBreakHandler(RamBreakHandler* handler) { ramBreaks_ = handler; }
  RamBreakHandler* ramBreakHandler() const { return ramBreaks_; }

 private:
  // The rare halves of the memory hooks, kept out of the handlers' code.
  std::uint8_t MemRead8Full(std::uint16_t address);
  void MemWrite8Full(std::uint16_t address, std::uint8_t value, std::uint8_t tag);
  [[gnu::noinline]] std::uint8_t WatchedRead8(std::uint16_t address);
  [[gnu::noinline]] void WatchedWrite8(std::uint16_t address, std::uint8_t value, std::uint8_t tag);
  void RamBreakRead8(std::uint16_t address);
  void RamBreakAccess(std::uint16_t address, char kind);
  void RamBreakWritten(std::uint16_t address, std::uint8_t old, std::uint8_t value);

  UiHooks defaultHooks_;
  UiHooks* hooks_;
  Peripherals* devices_ = nullptr;
  RamBreakHandler* ramBreaks_ = nullptr;
  std::uint32_t ramBreakCount_ = 0;  // addresses whose ramBreak bits are set
};

}  // namespace hc11
