// The end-of-code check and the periodic interrupt's entry.
#include "core/handlers.h"
#include "core/text_util.h"

namespace hc11 {

bool EndOfCodeCheck(Machine& m) {
  if (m.cpu.PC <= m.CodeEnd) [[likely]]
    return false;
  m.ReportError(ErrorKind::PastCodeEnd, Format("adr>fin %4.4X", m.cpu.PC));
  return true;
}

void InterruptEntry(Machine& m, std::uint16_t vector) {
  m.Push16(m.cpu.PC, TagReturnAddress);
  m.Push16(m.cpu.Y, TagData);
  m.Push16(m.cpu.X, TagData);
  m.Push8(m.cpu.A, TagData);
  m.Push8(m.cpu.B, TagData);
  m.Push8(m.cpu.CC, TagData);
  ++m.CycleCount;
  TransferTo(m, vector);
}

}  // namespace hc11
