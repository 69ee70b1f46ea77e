#include "debugger/breakpoints.h"

#include <algorithm>

#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/hex_entry.h"

namespace hc11 {

namespace {

constexpr std::uint8_t kStateBreak = 2;
constexpr std::uint8_t kStateTrace = 3;

bool IsCode(char kind) {
  return kind == 'C';
}

std::uint8_t RamBitOf(char kind) {
  switch (kind) {
    case 'I':
      return RamBreakWrite;
    case 'i':
      return RamBreakRead;
    case 'm':
      return RamBreakChange;
    default:
      return 0;  // other letters are listed and saved but watch nothing
  }
}

bool Acts(std::uint8_t state) {
  return state == kStateBreak || state == kStateTrace;
}

}  // namespace

std::string BreakLine(const Tbreak& b) {
  // A state or kind no dialog can make (read from a damaged file) shows as
  // its number or a question mark, never as a blank or a raw byte.
  const std::string state =
      b.BreakState < kBreakStateNames.size() ? kBreakStateNames[b.BreakState] : Format("%u", b.BreakState);
  const unsigned char kind = static_cast<unsigned char>(b.BreakKind);
  return Format("%4.4x %c %-8s %s", b.address, kind > 0x20 && kind < 0x7F ? b.BreakKind : '?', state.c_str(),
                QuoteText(b.name, kBreakNameMax).c_str());
}

std::optional<std::uint32_t> BreakLineColour(std::uint8_t state) {
  switch (state) {
    case 0:
      return 0xFFFFFF;  // white
    case 1:
      return 0x808080;  // grey
    case 2:
      return 0x0000FF;  // red
    case 3:
      return 0x008000;  // green
    default:
      return std::nullopt;
  }
}

BreakDialog FillBreakDialog(const Tbreak& b) {
  BreakDialog d;
  d.name = b.name;
  d.address = Format("%4.4X", b.address);
  d.kind = std::string(1, b.BreakKind);
  d.selected = b.BreakState >= 1 && b.BreakState <= 3 ? b.BreakState : 0;
  return d;
}

std::string ReadBreakDialog(const BreakDialog& d, Tbreak& b) {
  b.name = d.name.substr(0, kBreakNameMax);
  const HexEntry address = ParseHexEntry(d.address, 0xFFFF);
  if (!address.value) return address.error;
  b.address = static_cast<std::uint16_t>(*address.value);
  if (d.kind.empty()) return "Type vide";
  b.BreakKind = d.kind[0];
  if (d.selected >= 1 && d.selected <= 3) b.BreakState = static_cast<std::uint8_t>(d.selected);
  return {};
}

BreakpointList::BreakpointList(Machine& m) : machine_(m) {
  machine_.SetRamBreakHandler(this);
}

BreakpointList::~BreakpointList() {
  machine_.SetRamBreakHandler(nullptr);
}

std::vector<std::string> BreakpointList::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(entries_.size());
  for (const Tbreak& b : entries_) lines.push_back(BreakLine(b));
  return lines;
}

void BreakpointList::RefreshRamBits(std::uint16_t address) {
  std::uint8_t bits = 0;
  for (const Tbreak& b : entries_)
    if (b.address == address && !IsCode(b.BreakKind) && Acts(b.BreakState)) bits |= RamBitOf(b.BreakKind);
  machine_.SetRamBreakBits(address, bits);
}

void BreakpointList::Register(const Tbreak& b) {
  if (IsCode(b.BreakKind)) {
    machine_.tInst[b.address] = b.BreakState;
  } else {
    RefreshRamBits(b.address);
  }
}

void BreakpointList::Unregister(const Tbreak& b) {
  if (IsCode(b.BreakKind)) {
    // Another entry at the same address keeps it registered.
    machine_.tInst[b.address] = 0;
    for (const Tbreak& other : entries_) {
      if (other.address == b.address && IsCode(other.BreakKind)) {
        Register(other);
        break;
      }
    }
  } else {
    RefreshRamBits(b.address);
  }
}

void BreakpointList::Append(const Tbreak& b, bool registerIt) {
  entries_.push_back(b);
  if (registerIt) Register(entries_.back());
}

void BreakpointList::New() {
  Append(Tbreak{}, false);
}

std::string BreakpointList::Edit(std::size_t index, const BreakDialog& d) {
  if (index >= entries_.size()) return {};
  Tbreak& b = entries_[index];
  const Tbreak old = b;
  const std::string error = ReadBreakDialog(d, b);
  // The old place forgets this entry before the new one learns it.
  if (old.address != b.address || old.BreakKind != b.BreakKind) Unregister(old);
  Register(b);
  return error;
}

void BreakpointList::Remove(std::size_t index) {
  if (index >= entries_.size()) return;
  Tbreak b = entries_[index];
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  b.BreakState = 0;
  Unregister(b);
  // Another code entry at the same address goes on acting.
  if (IsCode(b.BreakKind)) {
    for (const Tbreak& other : entries_)
      if (other.address == b.address && IsCode(other.BreakKind)) {
        Register(other);
        break;
      }
  }
}

void BreakpointList::ClearAll() {
  while (!entries_.empty()) Remove(entries_.size() - 1);
}

std::optional<std::size_t> BreakpointList::Find(std::uint16_t address) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].address == address) return i;
  return std::nullopt;
}

namespace {

// The nearest non-empty label at or before the listing record of `address`.
std::string NearestLabel(std::uint16_t address, const TListSyn& lines) {
  const std::string text = Format("%4.4X", address);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (ToLower(lines[i].AddrText) != ToLower(text)) continue;
    for (std::size_t k = i + 1; k-- > 0;)
      if (!lines[k].Label.empty()) return lines[k].Label;
    break;
  }
  return "Nom";
}

}  // namespace

void BreakpointList::BreakEditAt(std::uint16_t address, const TListSyn& lines) {
  const auto index = Find(address);
  if (machine_.tInst[address] == 0 && !index) {
    Append(Tbreak{NearestLabel(address, lines), address, 'C', kStateBreak}, true);
    return;
  }
  if (machine_.tInst[address] != 0 && index) {
    Tbreak& b = entries_[*index];
    b.BreakState = b.BreakState == kStateTrace ? 1 : static_cast<std::uint8_t>(b.BreakState + 1);
    Register(b);
  }
}

bool BreakpointList::BreakDeleteAt(std::uint16_t address) {
  if (!CanDeleteAt(address)) return false;
  Remove(*Find(address));
  return true;
}

bool BreakpointList::CanDeleteAt(std::uint16_t address) const {
  return machine_.tInst[address] != 0 && Find(address).has_value();
}

void BreakpointList::TraceVariable(const std::string& name, std::uint16_t address) {
  Append(Tbreak{name.substr(0, kBreakNameMax), address, 'm', kStateTrace}, true);
}

std::string BreakpointList::BreakEditCaption(std::uint16_t address) const {
  const auto index = Find(address);
  if (!index) return "Break edit: ";
  const std::uint8_t state = entries_[*index].BreakState;
  return std::string("Break edit: ") + (state < kBreakStateNames.size() ? kBreakStateNames[state] : "");
}

std::string BreakpointList::LineFor(std::uint16_t address) const {
  const auto index = Find(address);
  return index ? BreakLine(entries_[*index]) : std::string();
}

void BreakpointList::RamBreakHit(Machine& m, std::uint16_t address, char kind) {
  for (const Tbreak& b : entries_) {
    if (b.address != address || b.BreakKind != kind) continue;
    if (b.BreakState == kStateBreak) {
      if (!ramStop_) ramStop_ = RamStop{address, kind, b.name};
      m.RequestBreak("Break " + BreakLine(b));
    } else if (b.BreakState == kStateTrace) {
      m.EventTrace(BreakLine(b));
    }
  }
}

}  // namespace hc11
