// GDB's breakpoints and watchpoints as entries of the debugger's breakpoint
// list, so the window's "Break" list shows them and the run engine and the
// RAM-breakpoint machinery stop on them: Z0 is a code entry 'C' in state
// "Break", Z2 a write entry 'I' per watched byte, Z3 a read entry 'i', Z4
// both. While it lives, this object stands between the machine and the list
// as the RAM-breakpoint handler to learn which watchpoint stopped a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/machine.h"
#include "debugger/breakpoints.h"

namespace hc11::gdb {

enum class WatchType { Write, Read, Access };

struct WatchHit {
  WatchType type;
  std::uint16_t address;
};

// The widest watchpoint accepted (one list entry per byte and access kind).
inline constexpr std::uint32_t kMaxWatchLength = 8;

// The names the stub gives its list entries. It keeps an index of the
// entries it added and removes only those: a user's own entry of the same
// name stays.
inline constexpr const char* kCodeBreakName = "gdb";
const char* WatchName(WatchType type);

class GdbBreakpoints final : public RamBreakHandler {
 public:
  GdbBreakpoints(Machine& m, BreakpointList& list);
  // Removes every entry the stub added and gives the handler back to the list.
  ~GdbBreakpoints() override;
  GdbBreakpoints(const GdbBreakpoints&) = delete;
  GdbBreakpoints& operator=(const GdbBreakpoints&) = delete;

  // Inserting twice is harmless, as is removing what is not there.
  void InsertCode(std::uint16_t address);
  void RemoveCode(std::uint16_t address);
  // False for a length of 0, above kMaxWatchLength, or past $FFFF.
  bool InsertWatch(WatchType type, std::uint16_t address, std::uint32_t length);
  bool RemoveWatch(WatchType type, std::uint16_t address, std::uint32_t length);
  // Every entry the stub added (a detach, a client gone).
  void RemoveAll();

  // The first watchpoint access since ClearHit.
  void ClearHit() { hit_.reset(); }
  const std::optional<WatchHit>& hit() const { return hit_; }
  // The watchpoint that an access of `kind` ('I' write, 'i' read) at
  // `address` meets; access watchpoints answer before narrower ones.
  std::optional<WatchHit> WatchAt(std::uint16_t address, char kind) const;

  void RamBreakHit(Machine& m, std::uint16_t address, char kind) override;

 private:
  struct Watch {
    WatchType type;
    std::uint16_t address;
    std::uint32_t length;
  };
  // An entry the stub added: who (0 code, 1 + WatchType), kind and address.
  static std::uint32_t KeyOf(int owner, char kind, std::uint16_t address);
  void AddEntry(int owner, std::uint16_t address, char kind);
  void RemoveEntry(int owner, std::uint16_t address, char kind);

  Machine& machine_;
  BreakpointList& list_;
  std::unordered_set<std::uint32_t> added_;
  std::vector<Watch> watches_;
  std::optional<WatchHit> hit_;
};

}  // namespace hc11::gdb
