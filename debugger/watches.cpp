#include "debugger/watches.h"

#include <string_view>

#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/hex_entry.h"
#include "listing/symbols.h"

namespace hc11 {

namespace {

constexpr std::string_view kDialogTypes = "BCIScXi";
constexpr std::uint8_t kFloatBytes = 6;

}  // namespace

std::string WatchLine(const TSurv& w, const std::string& value) {
  // A name read from a damaged file may be huge or hold control bytes. It
  // fills ten characters, not ten bytes: an accented name keeps the columns
  // of the list lined up.
  std::string name = QuoteText(w.name);
  std::size_t characters = 0;
  for (const char c : name)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  if (characters < 10) name.append(10 - characters, ' ');
  return Format("%c%c %s %4x=%s", w.type, w.WatchStatus, name.c_str(), w.address, value.c_str());
}

std::vector<std::string> WatchList::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(entries_.size());
  for (const TSurv& w : entries_) lines.push_back(w.line);
  return lines;
}

std::string WatchList::ValueText(TSurv& w, bool& changed) {
  if (w.WatchFormat == FmtFloat) w.bytesPer = kFloatBytes;
  const std::size_t n = std::size_t{w.elements} * w.bytesPer;
  if (n > kWatchBlockMax) {
    changed = true;
    return Format(" bloc > %zu octets", kWatchBlockMax);
  }
  std::vector<std::uint8_t> captured(n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto a = static_cast<std::uint16_t>(w.address + i);
    captured[i] = board_.ReadTyped(a, w.type, machine_.Memory[a]);
    if (captured[i] != w.PrevValues[i]) changed = true;
    w.PrevValues[i] = captured[i];
  }
  return WatchValueText(w.WatchFormat, w.elements, w.bytesPer, captured);
}

std::vector<std::size_t> WatchList::Refresh(bool forced) {
  std::vector<std::size_t> rewritten;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    TSurv& w = entries_[i];
    bool changed = false;
    const std::string value = ValueText(w, changed);
    if (!changed && !forced) continue;
    w.line = WatchLine(w, value);
    rewritten.push_back(i);
  }
  return rewritten;
}

void WatchList::AppendUnresolved(TSurv w) {
  w.WatchStatus = 'm';
  w.line = "xxx";
  entries_.push_back(std::move(w));
}

void WatchList::Append(TSurv w) {
  w.WatchStatus = ' ';
  entries_.push_back(std::move(w));
  Refresh(true);
}

void WatchList::AppendAll(const std::vector<TSurv>& ws) {
  entries_.reserve(entries_.size() + ws.size());
  for (TSurv w : ws) {
    w.WatchStatus = ' ';
    entries_.push_back(std::move(w));
  }
  Refresh(true);
}

void WatchList::New() {
  Append(TSurv{});
}

void WatchList::AddSymbol(const std::string& name, std::uint16_t address, char typeLetter) {
  TSurv w;
  w.name = name;
  w.address = address;
  w.type = typeLetter;
  w.WatchFormat = typeLetter == 'B' ? FmtBits : FmtHex;
  Append(std::move(w));
}

void WatchList::Remove(std::size_t index) {
  if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void WatchList::ResolveByName(const SymbolTables& symbols) {
  for (TSurv& w : entries_) {
    if (const auto a = FindSymbol(symbols, w.name, w.type)) {
      w.address = *a;
      w.WatchStatus = ' ';
    }
  }
  Refresh(true);
}

std::vector<std::string> WatchList::WriteValue(const TSurv& w, const std::string& text) {
  const bool stores = w.type == 'C' || w.type == 'I';
  Machine& m = machine_;
  const bool wasStopping = m.StopFlag;
  std::vector<std::string> messages = WriteWatchText(text, w.WatchFormat, w.address, w.elements, w.bytesPer,
                                                     [&m, stores](std::uint16_t a, std::uint8_t v) {
                                                       if (stores) m.MemWrite8(a, v, TagData);
                                                     });
  // A store the memory refuses ("Ram Interdit") is the debugger's, not the
  // program's: it is said here and must not stop the next run.
  if (m.StopFlag && !wasStopping) {
    messages.push_back(m.StopMessage);
    m.StopFlag = false;
    m.StopMessage.clear();
  }
  return messages;
}

std::vector<std::string> WatchList::WriteInitialValues() {
  std::vector<std::string> messages;
  for (const TSurv& w : entries_) {
    if (w.initial.empty()) continue;
    for (std::string& msg : WriteValue(w, w.initial)) messages.push_back(QuoteText(w.name) + ": " + msg);
  }
  return messages;
}

WatchDialog WatchList::FillDialog(std::size_t index) {
  WatchDialog d;
  if (index >= entries_.size()) return d;
  TSurv& w = entries_[index];
  d.type = std::string(1, w.type);
  d.name = w.name;
  d.address = Format("%4.4X", w.address);
  d.format = w.WatchFormat;
  d.bytesPer = w.bytesPer;
  d.elements = w.elements;
  bool changed = false;
  d.value = TrimView(ValueText(w, changed));
  d.initial = w.initial;
  return d;
}

std::string WatchList::ApplyDialog(std::size_t index, const WatchDialog& d,
                                   std::vector<std::string>& messages) {
  if (index >= entries_.size()) return {};
  TSurv& w = entries_[index];
  std::string error;
  if (d.type.empty()) {
    error = "Type vide";
  } else {
    if (kDialogTypes.find(d.type[0]) != std::string_view::npos) w.type = d.type[0];
    w.name = d.name;
    const HexEntry a = ParseHexEntry(d.address, 0xFFFF);
    if (!a.value) {
      error = a.error;
    } else {
      w.address = static_cast<std::uint16_t>(*a.value);
      if (d.format >= FmtBits && d.format <= FmtString) w.WatchFormat = static_cast<std::uint8_t>(d.format);
      w.bytesPer = static_cast<std::uint8_t>(std::clamp(d.bytesPer, 1, 16));
      w.elements = static_cast<std::uint8_t>(std::clamp(d.elements, 1, 100));
      w.initial = d.initial;
      if (d.valueModified) messages = WriteValue(w, d.value);
    }
  }
  Refresh(true);
  return error;
}

}  // namespace hc11
