#include "gdbstub/gdb_breaks.h"

#include <algorithm>
#include <string_view>

#include "core/break_state.h"

namespace hc11::gdb {

namespace {

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

namespace {

constexpr int kCodeOwner = 0;

int OwnerOf(WatchType type) {
  return 1 + static_cast<int>(type);
}

const char* NameOf(int owner) {
  return owner == kCodeOwner ? kCodeBreakName : WatchName(static_cast<WatchType>(owner - 1));
}

}  // namespace

std::uint32_t GdbBreakpoints::KeyOf(int owner, char kind, std::uint16_t address) {
  return static_cast<std::uint32_t>(owner) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(kind)) << 16 | address;
}

void GdbBreakpoints::AddEntry(int owner, std::uint16_t address, char kind) {
  if (!added_.insert(KeyOf(owner, kind, address)).second) return;
  list_.Append(Tbreak{NameOf(owner), address, kind, kBreakStop}, true);
}

void GdbBreakpoints::RemoveEntry(int owner, std::uint16_t address, char kind) {
  if (added_.erase(KeyOf(owner, kind, address)) == 0) return;
  // Entries are appended: the stub's own are found from the end.
  const std::string name = NameOf(owner);
  const auto& entries = list_.entries();
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (entries[i].name != name || entries[i].address != address || entries[i].BreakKind != kind) continue;
    list_.Remove(i);  // a code entry the user keeps at the address goes on acting
    return;
  }
}

void GdbBreakpoints::InsertCode(std::uint16_t address) {
  AddEntry(kCodeOwner, address, 'C');
}

void GdbBreakpoints::RemoveCode(std::uint16_t address) {
  RemoveEntry(kCodeOwner, address, 'C');
}

bool GdbBreakpoints::InsertWatch(WatchType type, std::uint16_t address, std::uint32_t length) {
  if (length == 0 || length > kMaxWatchLength || address + length > 0x10000) return false;
  for (std::uint32_t i = 0; i < length; ++i)
    for (char kind : KindsOf(type)) AddEntry(OwnerOf(type), static_cast<std::uint16_t>(address + i), kind);
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
    for (char kind : KindsOf(type)) RemoveEntry(OwnerOf(type), static_cast<std::uint16_t>(a), kind);
  }
  return true;
}

void GdbBreakpoints::RemoveAll() {
  watches_.clear();
  if (added_.empty()) return;
  // One pass over the list, whatever its length; each entry the stub added
  // goes once, and a user's entry of the same name stays.
  list_.RemoveWhere([this](const Tbreak& b) {
    for (int owner = kCodeOwner; owner <= OwnerOf(WatchType::Access); ++owner)
      if (b.name == NameOf(owner)) return added_.erase(KeyOf(owner, b.BreakKind, b.address)) > 0;
    return false;
  });
  added_.clear();
}

std::optional<WatchHit> GdbBreakpoints::WatchAt(std::uint16_t address, char kind) const {
  for (WatchType type : {WatchType::Access, WatchType::Write, WatchType::Read}) {
    if (!Covers(type, kind)) continue;
    for (const Watch& w : watches_)
      if (w.type == type && address >= w.address && address < w.address + w.length)
        return WatchHit{type, address};
  }
  return std::nullopt;
}

void GdbBreakpoints::RamBreakHit(Machine& m, std::uint16_t address, char kind) {
  list_.RamBreakHit(m, address, kind);
  if (!hit_) hit_ = WatchAt(address, kind);
}

}  // namespace hc11::gdb
