// The breakpoint list (ListBreak1): Tbreak entries, their registration in the
// machine (code: the tInst state byte; RAM: the bits beside the write tag),
// the list's commands and what a RAM breakpoint does when the program touches
// its address. The window's list and the CLI show Lines().
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/break_rules.h"
#include "core/machine.h"
#include "debugger/code_anchor.h"
#include "expr/expression.h"
#include "expr/log_format.h"
#include "listing/listing_types.h"

namespace hc11 {

inline constexpr std::array<const char*, 6> kBreakStateNames = {"nul",   "inactif", "Break",
                                                                "Trace", "TraceM",  "BeakM"};
inline constexpr std::size_t kBreakNameMax = 50;

// When a hit counts as a stop (or a trace line, or a log line).
enum class HitRule : std::uint8_t { Always, Nth, EveryNth };

// What an entry adds to its state, as the user entered it. The texts are kept
// as typed so they are saved and shown as they were; the parsed forms live
// beside them in Tbreak.
struct BreakExtras {
  std::string condition{};  // empty: every hit counts
  HitRule rule = HitRule::Always;
  std::uint32_t count = 0;  // N of Nth and EveryNth (at least 1)
  std::string log{};        // non-empty: a logpoint, which writes this and never stops
  bool temporary = false;   // removed after its first stop
  bool Any() const { return !condition.empty() || rule != HitRule::Always || !log.empty() || temporary; }
  bool operator==(const BreakExtras&) const = default;
};

struct Tbreak {
  std::string name = "nom";
  std::uint16_t address = 0xFFFF;
  char BreakKind = 'C';  // 'C' code, 'I' RAM write, 'i' RAM read, 'm' RAM modified
  std::uint8_t BreakState = 1;
  BreakExtras extras{};
  std::optional<Expression> condition{};  // parsed extras.condition
  std::optional<LogFormat> log{};         // parsed extras.log
  std::uint64_t hits = 0;                 // since Init
  bool spent = false;                     // a temporary entry that stopped: removed when the run ends
  // Its listing line when last placed; kept as it was while `misplaced`.
  std::optional<CodeAnchor> anchor{};
  bool misplaced = false;  // its line was not found again after a reload: "déplacé?"
};

// An entry's new address after the program was assembled again.
struct EntryMove {
  std::size_t index = 0;
  std::uint16_t address = 0;
};

// Parses `extras` into `b` (condition and log message); on an error `b` is
// unchanged and the message names the field and the column.
std::string SetBreakExtras(Tbreak& b, const BreakExtras& extras, const SymbolResolver& resolve);

// The list's suffix of an entry: " si COND", " n°N" or " tous les N", " log TEXT",
// " temporaire" and " (N coups)" once hit; empty for a plain entry never hit.
std::string BreakExtrasText(const Tbreak& b);

// "%4.4x %s %-8s %s": address, kind, state name, name.
std::string BreakLine(const Tbreak& b);

// The listing-line colour (0xBBGGRR) of a code-breakpoint state byte;
// nullopt keeps the caller's colour.
std::optional<std::uint32_t> BreakLineColour(std::uint8_t state);

// The edit dialog's controls as texts; `selected` is the state radio button
// (1 "inactif", 2 "Break", 3 "Trace", 0 none).
struct BreakDialog {
  std::string name, address, kind;
  int selected = 0;
  std::string condition{};
  HitRule rule = HitRule::Always;
  std::string count{};  // N of the hit rule, decimal
  std::string log{};
  bool temporary = false;
};
BreakDialog FillBreakDialog(const Tbreak& b);
// Reads the dialog back into `b`; on an error (address not hexadecimal or
// above $FFFF, empty kind, a malformed condition, count or log message)
// returns the message and `b` is unchanged.
std::string ReadBreakDialog(const BreakDialog& d, Tbreak& b, const SymbolResolver& resolve = {});

// The error message of a dialog's texts, empty when they can be taken.
using BreakDialogCheck = std::function<std::string(const BreakDialog&)>;

class BreakpointList : public RamBreakHandler, public BreakRules {
 public:
  explicit BreakpointList(Machine& m);
  ~BreakpointList() override;
  BreakpointList(const BreakpointList&) = delete;
  BreakpointList& operator=(const BreakpointList&) = delete;

  const std::vector<Tbreak>& entries() const { return entries_; }
  std::vector<std::string> Lines() const;

  // Applies the entry's state to the machine (state 0 removes it).
  void Register(const Tbreak& b);
  // Appends, registering the entry first when asked.
  void Append(const Tbreak& b, bool registerIt);
  // Empties the list without touching the machine (a workspace read follows
  // a cleared write-tag table).
  void Forget() { entries_.clear(); }

  // "Nouveau": "nom", 'C', $FFFF, state 1, not registered.
  void New();
  // "Editer" after OK: the dialog is read back, the old registration cleared
  // when the address or kind moved, and the new state registered. Returns the
  // dialog's error message, if any; then nothing has changed.
  std::string Edit(std::size_t index, const BreakDialog& d);
  // "Nouveau" after OK: the dialog's entry appended and registered, or the
  // error message and nothing added.
  std::string AddFromDialog(const BreakDialog& d);

  // Listing symbols for conditions, log messages and the watched expression.
  void SetSymbols(SymbolResolver resolve) { resolve_ = std::move(resolve); }
  const SymbolResolver& symbols() const { return resolve_; }
  // Sets the extras of an entry; the error message, and nothing changed, when
  // a text does not parse.
  std::string SetExtras(std::size_t index, const BreakExtras& extras);

  // "Arrêt sur expression": the run stops as soon as `text` becomes true
  // (tested after every step). Empty text removes it. Returns the parse error,
  // and keeps the previous expression, when malformed.
  std::string SetStopWhen(const std::string& text);
  const std::string& StopWhen() const { return stopWhenText_; }
  // Hit counts back to zero (Init).
  void ResetHits();
  // "Supprimer": state 0 registered, then the entry removed.
  void Remove(std::size_t index);
  // "ClearAll".
  void ClearAll();
  // Removes every entry `remove` picks, in one pass, and registers again what
  // the remaining entries hold at the addresses they leave.
  void RemoveWhere(const std::function<bool(const Tbreak&)>& remove);

  // Gives entries new addresses at once (their registrations follow them;
  // other entries at the addresses left keep theirs).
  void Move(const std::vector<EntryMove>& moves);
  // Marks an entry "déplacé?", or clears the mark, with its anchor.
  void SetPlace(std::size_t index, std::optional<CodeAnchor> anchor, bool misplaced);
  // Every code entry not marked takes the anchor of its address in `lines`,
  // when a line is there (RAM entries name variables, which the listing's
  // lines do not place).
  void AnchorAll(const AnchorTable& lines);

  // First entry in list order at `address` (the kind is not compared).
  std::optional<std::size_t> Find(std::uint16_t address) const;

  // "Break Edit" on a flowchart line: creates a Break named after the nearest
  // label, or cycles the existing entry 1 -> 2 -> 3 -> 1.
  void BreakEditAt(std::uint16_t address, const TListSyn& lines);
  // "Break Supprimer": true when an entry was removed.
  bool BreakDeleteAt(std::uint16_t address);
  // "Tracer": a 'm' Trace breakpoint on a variable.
  void TraceVariable(const std::string& name, std::uint16_t address);
  // The flowchart popup's caption for "Break Edit" and the enabled state of
  // "Break Supprimer".
  std::string BreakEditCaption(std::uint16_t address) const;
  bool CanDeleteAt(std::uint16_t address) const;

  // The display line for the run engine's code-breakpoint stop and trace.
  std::string LineFor(std::uint16_t address) const;

  void RamBreakHit(Machine& m, std::uint16_t address, char kind) override;
  Verdict CodeBreakReached(Machine& m, std::uint16_t pc) override;
  bool StopsGoingBack(const Machine& m, std::uint16_t pc) const override;
  bool WatchStops(Machine& m) override;
  void RunBegins(Machine& m) override;
  void RunEnds(Machine& m) override;

  // The RAM breakpoint in state "Break" that asked for a stop first since
  // ForgetRamStop (the window forgets it at each run start): the stop is
  // reported with the address touched, not the PC it came to.
  struct RamStop {
    std::uint16_t address = 0;
    char kind = 'I';
    std::string name;
  };
  const std::optional<RamStop>& LastRamStop() const { return ramStop_; }
  void ForgetRamStop() { ramStop_.reset(); }

  // The entry behind a stop: its index and display line as they were when
  // it stopped the run.
  struct StopEntry {
    std::size_t index = 0;
    std::string line;
  };
  // The RAM breakpoint whose access the machine's pending stop names.
  const std::optional<StopEntry>& RamBreakEntry() const { return ramBreakEntry_; }
  // The entry of the code breakpoint in state "Break" at `address`.
  std::optional<StopEntry> CodeEntryAt(std::uint16_t address) const;

 private:
  // What one hit of `b` does under its extras; counts the hit.
  Verdict Decide(Machine& m, Tbreak& b);
  // Recomputes the RAM bits of `address` from the entries that act (states 2 and 3).
  void RefreshRamBits(std::uint16_t address);
  void Unregister(const Tbreak& b);

  Machine& machine_;
  std::vector<Tbreak> entries_;
  SymbolResolver resolve_;
  std::optional<StopEntry> ramBreakEntry_;
  std::string stopWhenText_;
  std::optional<Expression> stopWhen_;
  bool stopWhenWas_ = false;  // its value before the step just done
  std::optional<RamStop> ramStop_;
};

}  // namespace hc11
