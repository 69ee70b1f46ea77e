#include "gdbstub/gdb_breaks.h"

#include <algorithm>
#include <string_view>

namespace hc11::gdb {

namespace {

constexpr std::uint8_t kStateBreak = 2;

// The list's access kinds a watchpoint type needs.
std::string_view KindsOf(WatchType type) {
  switch (type) {
    case WatchType::Write:
      return "I";
    case WatchType::Read:
      return "i";
    case WatchType::Access:
      return "Ii";
  }
  return "";
}

bool Covers(WatchType type, char kind) {
  return KindsOf(type).find(kind) != std::string_view::npos;
}

}  // namespace

const char* WatchName(WatchType type) {
  switch (type) {
    case WatchType::Write:
      return "gdb watch";
    case WatchType::Read:
      return "gdb rwatch";
    case WatchType::Access:
      return "gdb awatch";
  }
  return "gdb";
}

GdbBreakpoints::GdbBreakpoints(Machine& m, BreakpointList& list) : machine_(m), list_(list) {
  machine_.SetRamBreakHandler(this);
}

GdbBreakpoints::~GdbBreakpoints() {
  RemoveAll();
  machine_.SetRamBreakHandler(&list_);
}

void GdbBreakpoints::AddEntry(const char* name, std::uint16_t address, char kind) {
  for (const Tbreak& b : list_.entries())
    if (b.name == name && b.address == address && b.BreakKind == kind) return;
  list_.Append(Tbreak{name, address, kind, kStateBreak}, true);
}

void GdbBreakpoints::RemoveEntry(const char* name, std::uint16_t address, char kind) {
  const auto& entries = list_.entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name != name || entries[i].address != address || entries[i].BreakKind != kind) continue;
    list_.Remove(i);  // a code entry the user keeps at the address goes on acting
    return;
  }
}

void GdbBreakpoints::InsertCode(std::uint16_t address) {
  AddEntry(kCodeBreakName, address, 'C');
}

void GdbBreakpoints::RemoveCode(std::uint16_t address) {
  RemoveEntry(kCodeBreakName, address, 'C');
}

bool GdbBreakpoints::InsertWatch(WatchType type, std::uint16_t address, std::uint32_t length) {
  if (length == 0 || length > kMaxWatchLength || address + length > 0x10000) return false;
  for (std::uint32_t i = 0; i < length; ++i)
    for (char kind : KindsOf(type)) AddEntry(WatchName(type), static_cast<std::uint16_t>(address + i), kind);
  const bool known = std::any_of(watches_.begin(), watches_.end(), [&](const Watch& w) {
    return w.type == type && w.address == address && w.length == length;
  });
  if (!known) watches_.push_back({type, address, length});
  return true;
}

bool GdbBreakpoints::RemoveWatch(WatchType type, std::uint16_t address, std::uint32_t length) {
  if (length == 0 || length > kMaxWatchLength || address + length > 0x10000) return false;
  std::erase_if(watches_,
                [&](const Watch& w) { return w.type == type && w.address == address && w.length == length; });
  // Bytes another watchpoint of the same type still covers keep their entries.
  for (std::uint32_t i = 0; i < length; ++i) {
    const std::uint32_t a = address + i;
    const bool stillWatched = std::any_of(watches_.begin(), watches_.end(), [&](const Watch& w) {
      return w.type == type && a >= w.address && a < w.address + w.length;
    });
    if (stillWatched) continue;
    for (char kind : KindsOf(type)) RemoveEntry(WatchName(type), static_cast<std::uint16_t>(a), kind);
  }
  return true;
}

void GdbBreakpoints::RemoveAll() {
  watches_.clear();
  for (std::size_t i = list_.entries().size(); i-- > 0;) {
    const Tbreak b = list_.entries()[i];
    const bool ours = b.name == kCodeBreakName || b.name == WatchName(WatchType::Write) ||
                      b.name == WatchName(WatchType::Read) || b.name == WatchName(WatchType::Access);
    if (ours) RemoveEntry(b.name.c_str(), b.address, b.BreakKind);
  }
}

void GdbBreakpoints::RamBreakHit(Machine& m, std::uint16_t address, char kind) {
  list_.RamBreakHit(m, address, kind);
  if (hit_) return;
  // Access watchpoints answer before narrower ones set on the same byte.
  for (WatchType type : {WatchType::Access, WatchType::Write, WatchType::Read}) {
    if (!Covers(type, kind)) continue;
    for (const Watch& w : watches_) {
      if (w.type == type && address >= w.address && address < w.address + w.length) {
        hit_ = WatchHit{type, address};
        return;
      }
    }
  }
}

}  // namespace hc11::gdb
