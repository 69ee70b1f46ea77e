// The serial interface: bytes the firmware transmits are listed in the panel
// memo; bytes it receives come from a message a panel button placed in the
// receive buffer. Also the text collected from the host serial port.
#include <algorithm>

#include "board/board.h"
#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::uint8_t kRxFullAndOverrun = 0x28;  // status bits 5 and 3

}  // namespace

std::uint8_t Board::UartRead() {
  auto& mem = machine_.Memory;
  if (RxIndex > RxBuffer[0]) {
    // Message exhausted: the data register keeps the last byte delivered.
    mem[kSciStatus] &= static_cast<std::uint8_t>(~kRxFullAndOverrun);
    return mem[kSciData];
  }
  const std::uint8_t byte = RxBuffer[RxIndex];
  machine_.EventTrace(Format("uart %2.2x", byte));
  ++RxIndex;
  mem[kSciData] = byte;
  return byte;
}

void Board::UartTransmit(std::uint8_t value) {
  if (Memo1.size() >= kMemoLines) Memo1.pop_front();
  Memo1.push_back(Format("uart %2.2x", value));
  // No change notice per byte: a chatty firmware would pay for it at every
  // transmission. The panel finds new lines by MemoAdded at its next refresh.
  ++MemoAdded;
  Emit(BoardOutput::Transmit, value);
  if (OnTransmit) OnTransmit(value);
}

bool Board::ReceiveBusy() const {
  // Exact mode: busy while a message still waits for the line, so a fast
  // host's next ones stay with the link.
  if (machine_.Exact) return Chip.sci.Backlog() >= kRxCapacity;
  return (machine_.Memory[kSciStatus] & 0x20) != 0;  // receive register full
}

void Board::InjectMessage(std::span<const std::uint8_t> bytes) {
  Note(BoardInput::InjectMessage, 0, bytes);
  if (machine_.Exact) return ChipReceive(bytes);  // at the line's pace, every byte
  const std::size_t n = std::min(bytes.size(), kRxCapacity);
  RxBuffer[0] = static_cast<std::uint8_t>(n);
  std::copy_n(bytes.begin(), n, RxBuffer.begin() + 1);
  auto& mem = machine_.Memory;
  mem[kSciStatus] |= kRxFullAndOverrun;
  mem[kSciData] = n > 0 ? bytes[0] : std::uint8_t{0};
  RxIndex = 1;
}

void Board::HostReceive(std::string_view block) {
  Note(BoardInput::HostReceive, 0, {reinterpret_cast<const std::uint8_t*>(block.data()), block.size()});
  bool dropped = block.size() >= kHostRxBlock;
  const std::size_t take = std::min(block.size(), kHostRxBlock);
  const std::size_t room = kHostRxLimit - std::min(HostRxText.size(), kHostRxLimit);
  if (take > room) dropped = true;  // the text is full: say so rather than lose characters quietly
  HostRxText.append(block.substr(0, std::min(take, room)));
  if (dropped) machine_.hooks().AppendInfoLine("err ComPortRxChar >254");
}

}  // namespace hc11
