// The breakpoint list (ListBreak1): Tbreak entries, their registration in the
// machine (code: the tInst state byte; RAM: the bits beside the write tag),
// the list's commands and what a RAM breakpoint does when the program touches
// its address. The window's list and the CLI show Lines().
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/machine.h"
#include "listing/listing_types.h"

namespace hc11 {

inline constexpr std::array<const char*, 6> kBreakStateNames = {"nul",   "inactif", "Break",
                                                                "Trace", "TraceM",  "BeakM"};
inline constexpr std::size_t kBreakNameMax = 50;

struct Tbreak {
  std::string name = "nom";
  std::uint16_t address = 0xFFFF;
  char BreakKind = 'C';  // 'C' code, 'I' RAM write, 'i' RAM read, 'm' RAM modified
  std::uint8_t BreakState = 1;
};

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
};
BreakDialog FillBreakDialog(const Tbreak& b);
// Reads the dialog back into `b`; on an error (address not hexadecimal or
// above $FFFF, empty kind) returns the message and `b` keeps its old values
// from the failing field on.
std::string ReadBreakDialog(const BreakDialog& d, Tbreak& b);

class BreakpointList : public RamBreakHandler {
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
  // dialog's error message, if any.
  std::string Edit(std::size_t index, const BreakDialog& d);
  // "Supprimer": state 0 registered, then the entry removed.
  void Remove(std::size_t index);
  // "ClearAll".
  void ClearAll();

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

 private:
  // Recomputes the RAM bits of `address` from the entries that act (states 2 and 3).
  void RefreshRamBits(std::uint16_t address);
  void Unregister(const Tbreak& b);

  Machine& machine_;
  std::vector<Tbreak> entries_;
  std::optional<RamStop> ramStop_;
};

}  // namespace hc11
