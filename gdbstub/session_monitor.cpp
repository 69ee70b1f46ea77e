#include "gdbstub/session_monitor.h"

#include <algorithm>

#include "board/panel_text.h"

namespace hc11::gdb {

namespace {

// E-clock counts in one millisecond at the board's nominal quartz.
constexpr std::int64_t kCountsPerMs = 895;

bool IsKey(std::string_view caption) {
  return caption == kOnOffCaption || FindKeypadKey(caption).has_value();
}

PanelInput KeyInput(std::string_view caption, bool press) {
  if (caption == kOnOffCaption) return {press ? PanelAction::PressOnOff : PanelAction::ReleaseOnOff, 0};
  return {press ? PanelAction::PressKey : PanelAction::ReleaseKey, static_cast<int>(*FindKeypadKey(caption))};
}

}  // namespace

void SessionMonitor::Reset() {
  holds_.clear();  // the reset releases every key and restarts the count
  host_.Reset();
}

// The code image again and a reset, without the workspace: GDB's own
// breakpoints and watchpoints in the lists stay.
bool SessionMonitor::Init() {
  holds_.clear();
  return host_.ReloadImage();
}

bool SessionMonitor::PressKey(std::string_view caption, std::optional<unsigned> holdMs) {
  if (!IsKey(caption)) return false;
  host_.Press(KeyInput(caption, true));
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
  host_.Press(KeyInput(caption, false));
}

bool SessionMonitor::InjectButton(std::string_view caption) {
  const auto command = FindCommand(caption);
  if (!command) return false;
  host_.Press({PanelAction::Command, static_cast<int>(*command)});
  return true;
}

void SessionMonitor::SendSerial(std::span<const std::uint8_t> bytes) {
  host_.SendSerial(bytes);
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
