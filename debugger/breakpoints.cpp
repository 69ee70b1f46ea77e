#include "debugger/breakpoints.h"

#include <algorithm>

#include "core/break_state.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/hex_entry.h"

namespace hc11 {

namespace {

// Decimal, 1 to 10 digits, within 32 bits.
std::optional<std::uint32_t> ParseCount(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || t.size() > 10) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

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
  return state == kBreakStop || state == kBreakTrace;
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
  d.condition = b.extras.condition;
  d.rule = b.extras.rule;
  d.count = b.extras.rule == HitRule::Always ? std::string() : Format("%u", b.extras.count);
  d.log = b.extras.log;
  d.temporary = b.extras.temporary;
  return d;
}

std::string SetBreakExtras(Tbreak& b, const BreakExtras& extras, const SymbolResolver& resolve) {
  std::optional<Expression> condition;
  std::optional<LogFormat> log;
  if (!Trim(extras.condition).empty()) {
    ParsedExpression p = ParseExpression(extras.condition, resolve);
    if (!p.expression) return "Condition, " + p.error.Text();
    condition = std::move(p.expression);
  }
  if (!extras.log.empty()) {
    ParsedLogFormat p = ParseLogFormat(extras.log, resolve);
    if (!p.format) return "Message, " + p.error.Text();
    log = std::move(p.format);
  }
  if (extras.rule != HitRule::Always && extras.count == 0) return "Nombre de passages : au moins 1";
  b.extras = extras;
  if (!condition) b.extras.condition.clear();
  b.condition = std::move(condition);
  b.log = std::move(log);
  return {};
}

std::string BreakExtrasText(const Tbreak& b) {
  std::string s;
  const BreakExtras& e = b.extras;
  if (!e.condition.empty()) s += " si " + QuoteText(e.condition);
  if (e.rule == HitRule::Nth) s += Format(" n°%u", e.count);
  if (e.rule == HitRule::EveryNth) s += Format(" tous les %u", e.count);
  if (!e.log.empty()) s += " log " + QuoteText(e.log);
  if (e.temporary) s += " temporaire";
  if (b.hits != 0) s += Format(" (%llu coups)", static_cast<unsigned long long>(b.hits));
  return s;
}

std::string ReadBreakDialog(const BreakDialog& d, Tbreak& b, const SymbolResolver& resolve) {
  // Every field is checked before any is taken, so a refused dialog leaves
  // the entry as it was.
  Tbreak next = b;
  next.name = d.name.substr(0, kBreakNameMax);
  const HexEntry address = ParseHexEntry(d.address, 0xFFFF);
  if (!address.value) return address.error;
  next.address = static_cast<std::uint16_t>(*address.value);
  if (d.kind.empty()) return "Type vide";
  next.BreakKind = d.kind[0];
  if (d.selected >= 1 && d.selected <= 3) next.BreakState = static_cast<std::uint8_t>(d.selected);
  BreakExtras extras;
  extras.condition = d.condition;
  extras.rule = d.rule;
  if (d.rule != HitRule::Always) {
    const std::optional<std::uint32_t> count = ParseCount(d.count);
    if (!count || *count == 0)
      return "Nombre de passages : '" + QuoteText(d.count) + "' n'est pas un nombre de 1 à 4294967295";
    extras.count = *count;
  }
  extras.log = d.log;
  extras.temporary = d.temporary;
  const std::string error = SetBreakExtras(next, extras, resolve);
  if (!error.empty()) return error;
  if (next.address != b.address || next.BreakKind != b.BreakKind) next.hits = 0;
  b = std::move(next);
  return {};
}

BreakpointList::BreakpointList(Machine& m) : machine_(m) {
  machine_.SetRamBreakHandler(this);
  machine_.Rules = this;
}

BreakpointList::~BreakpointList() {
  machine_.SetRamBreakHandler(nullptr);
  machine_.Rules = nullptr;
  machine_.WatchSet = false;
}

std::vector<std::string> BreakpointList::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(entries_.size());
  for (const Tbreak& b : entries_)
    lines.push_back(BreakLine(b) + BreakExtrasText(b) + (b.misplaced ? " déplacé?" : ""));
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
  const std::string error = ReadBreakDialog(d, b, resolve_);
  if (!error.empty()) return error;
  // The old place forgets this entry before the new one learns it.
  if (old.address != b.address || old.BreakKind != b.BreakKind) Unregister(old);
  Register(b);
  // The user has placed it: its line is the one at its address now.
  b.misplaced = false;
  b.anchor.reset();
  return {};
}

void BreakpointList::Move(const std::vector<EntryMove>& moves) {
  std::vector<bool> touched(0x10000, false);
  for (const EntryMove& mv : moves) {
    if (mv.index >= entries_.size()) continue;
    Tbreak& b = entries_[mv.index];
    touched[b.address] = touched[mv.address] = true;
    if (IsCode(b.BreakKind)) machine_.tInst[b.address] = 0;
    b.address = mv.address;
  }
  // List order, as a workspace read registers them.
  for (const Tbreak& b : entries_)
    if (touched[b.address] && IsCode(b.BreakKind)) Register(b);
  for (std::size_t a = 0; a < touched.size(); ++a)
    if (touched[a]) RefreshRamBits(static_cast<std::uint16_t>(a));
}

void BreakpointList::SetPlace(std::size_t index, std::optional<CodeAnchor> anchor, bool misplaced) {
  if (index >= entries_.size()) return;
  entries_[index].anchor = std::move(anchor);
  entries_[index].misplaced = misplaced;
}

void BreakpointList::AnchorAll(const AnchorTable& lines) {
  for (Tbreak& b : entries_) {
    if (b.misplaced || !IsCode(b.BreakKind)) continue;
    // Without a line there (no listing read) the place it had is kept.
    if (std::optional<CodeAnchor> a = lines.At(b.address)) b.anchor = std::move(a);
  }
}

std::string BreakpointList::AddFromDialog(const BreakDialog& d) {
  Tbreak b;
  const std::string error = ReadBreakDialog(d, b, resolve_);
  if (error.empty()) Append(b, true);
  return error;
}

std::string BreakpointList::SetExtras(std::size_t index, const BreakExtras& extras) {
  if (index >= entries_.size()) return {};
  return SetBreakExtras(entries_[index], extras, resolve_);
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

void BreakpointList::RemoveWhere(const std::function<bool(const Tbreak&)>& remove) {
  // A per-address mark keeps this linear however many entries go.
  constexpr std::uint8_t kCodeLeft = 1, kRamLeft = 2, kCodeDone = 4;
  std::vector<std::uint8_t> marks(0x10000, 0);
  std::vector<Tbreak> kept;
  kept.reserve(entries_.size());
  for (Tbreak& b : entries_) {
    if (!remove(b)) {
      kept.push_back(std::move(b));
    } else if (IsCode(b.BreakKind)) {
      marks[b.address] |= kCodeLeft;
      machine_.tInst[b.address] = 0;
    } else {
      marks[b.address] |= kRamLeft;
    }
  }
  entries_ = std::move(kept);
  std::vector<std::uint8_t> ramBits(0x10000, 0);
  for (const Tbreak& b : entries_) {
    std::uint8_t& mark = marks[b.address];
    if (IsCode(b.BreakKind)) {
      // The first code entry left at the address acts, as after Remove.
      if ((mark & kCodeLeft) != 0 && (mark & kCodeDone) == 0) {
        machine_.tInst[b.address] = b.BreakState;
        mark |= kCodeDone;
      }
    } else if ((mark & kRamLeft) != 0 && Acts(b.BreakState)) {
      ramBits[b.address] |= RamBitOf(b.BreakKind);
    }
  }
  for (std::size_t a = 0; a < marks.size(); ++a)
    if ((marks[a] & kRamLeft) != 0) machine_.SetRamBreakBits(static_cast<std::uint16_t>(a), ramBits[a]);
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
    Append(Tbreak{NearestLabel(address, lines), address, 'C', kBreakStop}, true);
    return;
  }
  if (machine_.tInst[address] != 0 && index) {
    Tbreak& b = entries_[*index];
    b.BreakState = b.BreakState == kBreakTrace ? kBreakInactive : static_cast<std::uint8_t>(b.BreakState + 1);
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
  Append(Tbreak{name.substr(0, kBreakNameMax), address, 'm', kBreakTrace}, true);
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

std::optional<BreakpointList::StopEntry> BreakpointList::CodeEntryAt(std::uint16_t address) const {
  const auto index = Find(address);
  if (!index) return std::nullopt;
  return StopEntry{*index, BreakLine(entries_[*index])};
}

}  // namespace hc11
