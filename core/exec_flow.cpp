// The end-of-code check, every interrupt's entry and the illegal-opcode trap.
#include "core/handlers.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

// E cycles of an interrupt's stacking and vector fetch, of the vector fetch
// alone when WAI stacked the frame already, and of the illegal-opcode trap.
constexpr std::int64_t kInterruptCycles = 12;
constexpr std::int64_t kWakeFromWaitCycles = 3;
constexpr std::int64_t kTrapCycles = 14;

// The chip masks further interrupts and counts its own cycles; the design
// leaves I alone and counts the entry and the transfer.
void EnterThrough(Machine& m, std::uint16_t vector, std::int64_t exactCycles) {
  if (m.Exact) {
    m.SetFlag(FlagI, true);
    m.cpu.PC = vector;
    EndOfCodeCheck(m);
    m.CycleCount += exactCycles;
    return;
  }
  ++m.CycleCount;
  TransferTo(m, vector);
}

}  // namespace

void PushFrame(Machine& m) {
  m.Push16(m.cpu.PC, TagReturnAddress);
  m.Push16(m.cpu.Y, TagData);
  m.Push16(m.cpu.X, TagData);
  m.Push8(m.cpu.A, TagData);
  m.Push8(m.cpu.B, TagData);
  m.Push8(m.cpu.CC, TagData);
}

bool EndOfCodeCheck(Machine& m) {
  if (m.cpu.PC <= m.CodeEnd) [[likely]]
    return false;
  m.ReportError(ErrorKind::PastCodeEnd, Format("adr>fin %4.4X", m.cpu.PC));
  return true;
}

void InterruptEntry(Machine& m, std::uint16_t vector) {
  const CpuHalt halt = m.Halt;
  m.Halt = CpuHalt::None;
  // A waiting processor's PC stays on its WAI or STOP (one byte each).
  if (halt == CpuHalt::Stop) ++m.cpu.PC;
  if (halt != CpuHalt::Wait) PushFrame(m);
  EnterThrough(m, vector, halt == CpuHalt::Wait ? kWakeFromWaitCycles : kInterruptCycles);
}

std::uint16_t VectorAt(const Machine& m, std::uint16_t address) {
  return static_cast<std::uint16_t>(m.Memory[address] << 8 |
                                    m.Memory[static_cast<std::uint16_t>(address + 1)]);
}

bool TakeIllegalOpcodeTrap(Machine& m, std::uint16_t at) {
  const std::uint16_t vector = VectorAt(m, kIllegalOpcodeVector);
  if (vector == 0) return false;
  m.cpu.PC = at;  // the frame returns to the opcode, as the chip stacks it
  PushFrame(m);
  // The step adds its own count (and cycle) after the opcode's work.
  EnterThrough(m, vector, kTrapCycles - 1);
  return true;
}

}  // namespace hc11
