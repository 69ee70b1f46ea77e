#include "gdbstub/session_monitor.h"

#include <algorithm>

#include "board/panel_text.h"
#include "core/hex_loader.h"
#include "listing/listing_files.h"

namespace hc11::gdb {

namespace {

constexpr std::uint16_t kTimerVectorAddress = 0xFFE8;
// E-clock counts in one millisecond at the board's nominal quartz.
constexpr std::int64_t kCountsPerMs = 895;

bool IsKey(std::string_view caption) {
  return caption == kOnOffCaption || FindKeypadKey(caption).has_value();
}

}  // namespace

void SessionMonitor::Reset() {
  holds_.clear();  // the reset releases every key and restarts the count
  session_.machine().ResetMachine();
}

// The code image again and a reset, without the workspace: GDB's own
// breakpoints and watchpoints in the lists stay.
bool SessionMonitor::Init() {
  holds_.clear();
  Machine& m = session_.machine();
  m.ResetMachine();
  const bool loaded = LoadHexImage(m, ProgramImageName(session_.ListingBase()), session_.messages());
  m.TimerVector = m.MemRead16(kTimerVectorAddress);
  m.ResetMachine();
  m.RunMode = u'q';
  m.StepOverArmed = false;
  return loaded;
}

bool SessionMonitor::PressKey(std::string_view caption, std::optional<unsigned> holdMs) {
  if (!IsKey(caption)) return false;
  Board& board = session_.board();
  if (caption == kOnOffCaption)
    board.PressOnOff();
  else
    board.PressKey(*FindKeypadKey(caption));
  std::erase_if(holds_, [&](const Hold& h) { return h.caption == caption; });
  if (holdMs)
    holds_.push_back({std::string(caption), Cycles() + static_cast<std::int64_t>(*holdMs) * kCountsPerMs});
  return true;
}

bool SessionMonitor::ReleaseKey(std::string_view caption) {
  if (!IsKey(caption)) return false;
  std::erase_if(holds_, [&](const Hold& h) { return h.caption == caption; });
  Release(std::string(caption));
  return true;
}

void SessionMonitor::Release(const std::string& caption) {
  Board& board = session_.board();
  if (caption == kOnOffCaption)
    board.ReleaseOnOff();
  else if (const auto key = FindKeypadKey(caption))
    board.ReleaseKey(*key);
}

bool SessionMonitor::InjectButton(std::string_view caption) {
  const auto command = FindCommand(caption);
  if (!command) return false;
  session_.board().PressCommand(*command);
  return true;
}

void SessionMonitor::SendSerial(std::span<const std::uint8_t> bytes) {
  session_.board().InjectMessage(bytes);
}

std::string SessionMonitor::PanelText() const {
  return hc11::PanelText(session_.board());
}

std::int64_t SessionMonitor::Cycles() const {
  return session_.machine().CycleCount;
}

void SessionMonitor::Poll() {
  const std::int64_t now = Cycles();
  std::vector<std::string> due;
  for (const Hold& h : holds_)
    if (h.releaseAt <= now) due.push_back(h.caption);
  std::erase_if(holds_, [&](const Hold& h) { return h.releaseAt <= now; });
  for (const std::string& caption : due) Release(caption);
}

}  // namespace hc11::gdb
