// Exact mode: the on-chip registers go to the processor's own devices, whose
// bytes the register block keeps a copy of for the memory dump and watches.
#include "board/board.h"

namespace hc11 {

std::uint8_t Board::ChipRead(std::uint16_t address) {
  const std::uint8_t value =
      Chip.Read(static_cast<std::uint8_t>(address - kRegisterBlockStart), machine_.CycleCount);
  machine_.Memory[address] = value;
  if (Chip.TakeScheduleChanged()) ChipSync();
  return value;
}

void Board::ChipWrite(std::uint16_t address, std::uint8_t value) {
  machine_.Memory[address] =
      Chip.Write(static_cast<std::uint8_t>(address - kRegisterBlockStart), value, machine_.CycleCount);
  if (Chip.TakeScheduleChanged()) ChipSync();
}

void Board::ChipSync() {
  Chip.TakeScheduleChanged();
  machine_.ChipDueAt = Chip.NextEvent();
  machine_.IrqPending = Chip.Pending() != 0;
  machine_.ChipAttentionChanged();
}

void Board::ChipMirror() {
  for (std::uint16_t offset = 0; offset <= kRegisterBlockEnd - kRegisterBlockStart; ++offset)
    if (onchip::OnChip::Answers(static_cast<std::uint8_t>(offset)))
      machine_.Memory[kRegisterBlockStart + offset] =
          Chip.Peek(static_cast<std::uint8_t>(offset), machine_.CycleCount);
}

ChipRequest Board::ServiceChip(bool unmasked) {
  const ChipRequest request = Chip.Service(machine_.CycleCount, unmasked);
  if (request.kind == ChipRequest::Kind::Reset) ChipMirror();
  ChipSync();
  return request;
}

void Board::ChipReceive(std::span<const std::uint8_t> bytes) {
  const std::size_t taken = Chip.Arrive(bytes, machine_.CycleCount);
  ChipSync();
  // Said rather than lost quietly: the queue in front of the line is full.
  if (taken < bytes.size()) machine_.hooks().AppendInfoLine("err ComPortRxChar >254");
}

}  // namespace hc11
