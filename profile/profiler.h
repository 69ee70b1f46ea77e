// A program's coverage and profile: the counters the run engine feeds, the
// function ranges of the loaded listing, and what the views, the CLI and the
// tracefile read from them. One Profiler per session.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/machine.h"
#include "listing/listing_types.h"
#include "profile/exec_counters.h"
#include "profile/function_map.h"

namespace hc11 {

struct FunctionProfile {
  std::string name;  // "(hors fonction)" for the addresses outside every function
  std::uint16_t entry = 0;
  bool outside = false;
  std::uint64_t calls = 0;
  std::uint64_t exclusive = 0;
  std::uint64_t inclusive = 0;
  double percent = 0;  // of all counted cycles, exclusive
};

struct ProfileTable {
  // Functions by exclusive cycles, most first (ties by address); the
  // "(hors fonction)" row last.
  std::vector<FunctionProfile> rows;
  std::uint64_t total = 0;  // every counted cycle
};

inline constexpr const char* kOutsideName = "(hors fonction)";

class Profiler {
 public:
  // Counting on or off for `m`; off costs the run engine nothing.
  void Enable(Machine& m, bool on) { m.Counters = on ? counters_.get() : nullptr; }
  static bool Enabled(const Machine& m) { return m.Counters != nullptr; }

  // After a listing load: the function ranges; every count is cleared.
  void MapListing(const Listing& listing);
  // Init and "Remise à zéro": every count back to zero; `now` is the
  // machine's CycleCount.
  void Reset(std::int64_t now) { counters_->Reset(now); }

  const ExecCounters& counters() const { return *counters_; }
  ExecCounters& counters() { return *counters_; }
  const FunctionMap& functions() const { return map_; }

  // The table at `now` (the machine's CycleCount): open activations count
  // up to it.
  ProfileTable Table(std::int64_t now) const;

 private:
  std::unique_ptr<ExecCounters> counters_ = std::make_unique<ExecCounters>();
  FunctionMap map_;
};

// "profile: NAME calls=N excl=N incl=N P%" per row, P with two decimals.
std::vector<std::string> ProfileLines(const ProfileTable& table);

}  // namespace hc11
