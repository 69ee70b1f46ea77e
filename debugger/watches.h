// The watch list (ListBoxSurv): TSurv entries, their refresh, resolution by
// name, initial values and the edit dialog's read-back. Memory is read with
// the board's typed read and written through the core's byte write hook.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "debugger/watch_formats.h"
#include "listing/listing_types.h"

namespace hc11 {

inline constexpr std::uint16_t kPrevUnset = 0x5656;  // equals no byte: the first refresh is a change

struct TSurv {
  std::string name = "nom";
  std::array<std::uint16_t, kWatchBlockMax> PrevValues = FreshPrevValues();
  std::uint8_t WatchFormat = FmtHex;
  std::uint16_t address = 0;
  char type = 'I';
  std::uint8_t bytesPer = 1;
  std::uint8_t elements = 1;
  char WatchStatus = ' ';  // 'm': read from the workspace, not resolved yet
  std::string initial;
  std::string line;  // the list entry's text

  static std::array<std::uint16_t, kWatchBlockMax> FreshPrevValues() {
    std::array<std::uint16_t, kWatchBlockMax> a{};
    a.fill(kPrevUnset);
    return a;
  }
};

// "%s%1s %-10s %4x=%s": type, status, name, address, value text.
std::string WatchLine(const TSurv& w, const std::string& value);

// The edit dialog's controls as texts (format as the item index).
struct WatchDialog {
  std::string type, name, address;
  int format = FmtHex;
  int bytesPer = 1, elements = 1;
  std::string value, initial;
  // Each box has its own mark: an edit of the initial value alone must not
  // write the displayed value back into memory.
  bool valueModified = false;
  bool initialModified = false;
};

class WatchList {
 public:
  WatchList(Machine& m, Board& board) : machine_(m), board_(board) {}

  const std::vector<TSurv>& entries() const { return entries_; }
  std::vector<std::string> Lines() const;

  // Appends as read from the workspace: status 'm', line "xxx" until refreshed.
  void AppendUnresolved(TSurv w);
  // Appends every watch, resolved, then refreshes once.
  void AppendAll(const std::vector<TSurv>& ws);
  // Appends a new watch (status blank) and refreshes every line.
  void Append(TSurv w);
  void Forget() { entries_.clear(); }

  // "nouveau", and a watch from a symbol or from HoverSymbol.
  void New();
  void AddSymbol(const std::string& name, std::uint16_t address, char typeLetter);
  // "Supprimer" / Delete; "Tout Effacer".
  void Remove(std::size_t index);
  void Clear() { entries_.clear(); }

  // The value text `w` would show now, the list left as it is.
  std::string ValueNow(TSurv w) {
    bool changed = false;
    return ValueText(w, changed);
  }
  // Rewrites the lines whose bytes changed, or all when forced; returns the
  // indexes rewritten.
  std::vector<std::size_t> Refresh(bool forced);
  // Resolves every name in the symbol list of its type letter, then refreshes.
  void ResolveByName(const SymbolTables& symbols);
  // Writes every non-empty initial value; returns the refusal messages.
  std::vector<std::string> WriteInitialValues();
  // Writes `text` into the watch's memory as its format reads it.
  std::vector<std::string> WriteValue(const TSurv& w, const std::string& text);

  WatchDialog FillDialog(std::size_t index);
  // OK in the dialog: copies it back (an error stops at its field and is
  // returned), writes the value if edited, then refreshes all lines.
  std::string ApplyDialog(std::size_t index, const WatchDialog& d, std::vector<std::string>& messages);

 private:
  std::string ValueText(TSurv& w, bool& changed);

  Machine& machine_;
  Board& board_;
  std::vector<TSurv> entries_;
};

}  // namespace hc11
