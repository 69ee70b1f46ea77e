#include "core/machine.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "core/e_clock.h"
#include "core/text_util.h"

namespace hc11 {

namespace {
// Reset clears internal RAM and the register block up to, not including, $103F.
constexpr std::uint16_t kResetClearEnd = 0x103F;
constexpr std::uint16_t kForbiddenStart = 0x2000;
constexpr int kErrorBeepHz = 500;
constexpr int kErrorBeepMs = 100;
constexpr long double kMsPerCount = 1000.0L / static_cast<long double>(kEClockHz);
}  // namespace

Machine::Machine(UiHooks* hooks) : hooks_(hooks != nullptr ? hooks : &defaultHooks_) {}

void Machine::SetHooks(UiHooks* hooks) {
  hooks_ = hooks != nullptr ? hooks : &defaultHooks_;
}

void Machine::Push8(std::uint8_t value, std::uint8_t tag) {
  StackChanged = true;
  MemWrite8(cpu.SP, value, tag);
  --cpu.SP;  // wraps from $0000 to $FFFF
}

void Machine::Push16(std::uint16_t value, std::uint8_t tag) {
  Push8(static_cast<std::uint8_t>(value), tag);
  Push8(static_cast<std::uint8_t>(value >> 8), tag);
}

std::uint8_t Machine::Pull8() {
  StackChanged = true;
  ++cpu.SP;  // wraps from $FFFF to $0000
  NoteRead(cpu.SP);
  return Memory[cpu.SP];
}

std::uint16_t Machine::Pull16() {
  const std::uint8_t high = Pull8();
  return static_cast<std::uint16_t>(high << 8 | Pull8());
}

void Machine::MemWrite16(std::uint16_t address, std::uint16_t value) {
  MemWrite8(address, static_cast<std::uint8_t>(value >> 8), TagData);
  MemWrite8(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value), TagData);
  if (IsRegisterBlock(address) && devices_ != nullptr) [[unlikely]]
    devices_->AfterWrite16(address, value);
}

void Machine::SetBitHooked(std::uint16_t address, std::uint8_t mask, bool on) {
  const std::uint8_t old = Memory[address];
  MemWrite8(address, static_cast<std::uint8_t>(on ? old | mask : old & ~mask), TagData);
}

void Machine::SetBitRaw(std::uint16_t address, std::uint8_t mask, bool on) {
  const std::uint8_t old = Memory[address];
  WriteDirect(address, static_cast<std::uint8_t>(on ? old | mask : old & ~mask));
}

// Reached for a watched byte or a register-block byte with the devices
// attached; a read with no RAM breakpoint is the second, and goes straight on.
std::uint8_t Machine::MemRead8Full(std::uint16_t address) {
  if (WriteTagTable[address].ramBreak & RamBreakRead) [[unlikely]]
    return WatchedRead8(address);
  return devices_->Read8(address);
}

std::uint8_t Machine::WatchedRead8(std::uint16_t address) {
  RamBreakAccess(address, 'i');
  // The breakpoint's own action may have written a port.
  PortsMayChange = true;
  if (IsRegisterBlock(address) && devices_ != nullptr) return devices_->Read8(address);
  return Memory[address];
}

// Reached for a forbidden or watched byte, or a register-block byte.
void Machine::MemWrite8Full(std::uint16_t address, std::uint8_t value, std::uint8_t tag) {
  WriteTagEntry& entry = WriteTagTable[address];
  if ((entry.tag == TagForbidden) | (entry.ramBreak != 0)) [[unlikely]]
    return WatchedWrite8(address, value, tag);
  entry.tag = tag;
  Memory[address] = value;
  PortsMayChange = true;
  if (devices_ != nullptr) devices_->AfterWrite8(address, value);
}

void Machine::WatchedWrite8(std::uint16_t address, std::uint8_t value, std::uint8_t tag) {
  WriteTagEntry& entry = WriteTagTable[address];
  if (entry.tag == TagForbidden)
    ReportError(ErrorKind::ForbiddenWrite, Format("Ram Interdit: %4.4X", address));
  const std::uint8_t old = Memory[address];
  entry.tag = tag;
  Memory[address] = value;
  if (IsRegisterBlock(address)) {
    PortsMayChange = true;
    if (devices_ != nullptr) devices_->AfterWrite8(address, value);
  }
  if (entry.ramBreak != 0) RamBreakWritten(address, old, value);
}

void Machine::RamBreakAccess(std::uint16_t address, char kind) {
  // The debugger's own reads and stores (watches, initial values) are not the program's.
  if (ramBreaks_ != nullptr && !Idle) ramBreaks_->RamBreakHit(*this, address, kind);
}

void Machine::RamBreakRead8(std::uint16_t address) {
  if (WriteTagTable[address].ramBreak & RamBreakRead) RamBreakAccess(address, 'i');
}

void Machine::SetRamBreakBits(std::uint16_t address, std::uint8_t bits) {
  std::uint8_t& current = WriteTagTable[address].ramBreak;
  ramBreakCount_ = ramBreakCount_ - (current != 0 ? 1 : 0) + (bits != 0 ? 1 : 0);
  current = bits;
}

void Machine::RamBreakWritten(std::uint16_t address, std::uint8_t old, std::uint8_t value) {
  const std::uint8_t bits = WriteTagTable[address].ramBreak;
  if (bits & RamBreakWrite) RamBreakAccess(address, 'I');
  if ((bits & RamBreakChange) && old != value) RamBreakAccess(address, 'm');
}

void Machine::RequestBreak(std::uint16_t address, char access) {
  if (!BreakRequested) {
    BreakRequested = true;
    BreakAddress = address;
    BreakAccess = access;
  }
  StopFlag = true;
}

void Machine::ResetMachine() {
  CycleCount = 0;
  CycleBase = 0;
  EventTimeRef = 0;
  std::fill(Memory.begin(), Memory.begin() + kResetClearEnd, std::uint8_t{0});
  for (std::size_t a = kForbiddenStart; a < WriteTagTable.size(); ++a) WriteTagTable[a].tag = TagForbidden;
  // The chip comes out of reset with S, X and I set; the design sets I alone.
  cpu.CC = Exact ? FlagS | FlagX | FlagI : FlagI;
  Halt = CpuHalt::None;
  PrevCycleCount = 0;
  PrevPortA = PrevPortB = PrevPortC = 0;
  IrqCounter = 0;
  cpu.SP = 0;
  StackTop = 0;
  StackChanged = true;
  StackLow.Reset();
  cpu.PC = StartPC;
  if (devices_ != nullptr) devices_->BoardReset();
  ChipAttentionChanged();
  AccountBoardTime();
}

void Machine::Visit(StateVisitor& v) {
  v.Begin("cpu");
  v.Field("A", cpu.A);
  v.Field("B", cpu.B);
  v.Field("X", cpu.X);
  v.Field("Y", cpu.Y);
  v.Field("SP", cpu.SP);
  v.Field("PC", cpu.PC);
  v.Field("CC", cpu.CC);
  v.End();
  v.Begin("latch");
  v.Field("AddrMode", latch.AddrMode);
  v.Field("imm8", latch.imm8);
  v.Field("mask", latch.mask);
  v.Field("imm16", latch.imm16);
  v.Field("address", latch.address);
  v.Field("branchTarget", latch.branchTarget);
  v.Field("indexedAddress", latch.indexedAddress);
  v.Field("row", latch.row);
  v.Field("opcode", latch.opcode);
  v.Field("prefix", latch.prefix);
  v.End();
  v.Bytes("Memory", Memory);
  static_assert(offsetof(WriteTagEntry, tag) == 0);
  v.Column("WriteTags", &WriteTagTable[0].tag, WriteTagTable.size(), sizeof(WriteTagEntry));
  v.Field("StackTop", StackTop);
  v.Field("CycleCount", CycleCount);
  v.Field("PrevCycleCount", PrevCycleCount);
  v.Field("StartPC", StartPC);
  v.Field("CodeEnd", CodeEnd);
  v.Field("PrevPortA", PrevPortA);
  v.Field("PrevPortC", PrevPortC);
  v.Field("PrevPortB", PrevPortB);
  v.Field("TimerVector", TimerVector);
  v.Field("IrqCounter", IrqCounter);
  // Exact is an option, not state: a snapshot keeps the mode it is loaded in.
  auto halt = static_cast<std::uint8_t>(Halt);
  v.Bounded("Halt", halt, std::uint8_t{0}, static_cast<std::uint8_t>(CpuHalt::Stop));
  Halt = static_cast<CpuHalt>(halt);
  v.Field("IrqPending", IrqPending);
  v.Field("ChipDueAt", ChipDueAt);
  ChipAttentionChanged();
  if (IrqCounter != 0) ChipAttentionNow();  // an entry taken ahead: its step clears the mark
}

void Machine::ClearWriteTags() {
  WriteTagTable.fill(WriteTagEntry{});
  ramBreakCount_ = 0;
}

void Machine::ReportError(ErrorKind kind, std::string text) {
  StopMessage = std::move(text);
  StopError = kind;
  hooks_->Beep(kErrorBeepHz, kErrorBeepMs);
  StopFlag = true;
}

long double Machine::CountsToMs(std::int64_t counts) {
  return static_cast<long double>(counts) * kMsPerCount;
}

void Machine::EventTrace(std::string_view text) {
  const std::int64_t n = CycleCount - CycleBase;
  const std::int64_t d = n - EventTimeRef;
  AppendTraceLine(
      Format("%4.4x T=%8.3Lfms %.*s", cpu.PC, CountsToMs(d), static_cast<int>(text.size()), text.data()));
  EventTimeRef = n;
}

}  // namespace hc11
