// What ran, how often and how long: per code address the instructions that
// started there and the cycles they took (so per conditional branch how often
// it was taken or not), per function its calls and inclusive cycles through
// a shadow call stack. The run engine feeds it after every step when a
// machine has counters attached; everything here is inline so the engine's
// hot loop pays one array update and one table test per step.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/decoder.h"
#include "core/machine.h"
#include "core/step_observer.h"

namespace hc11 {

// The flow kind of every (prefix slot, opcode) entry, from its row; a form
// the designed mode refuses is None, since it neither transfers nor pushes,
// and a slot only the exact mode decodes takes its row's kind.
inline const std::array<FlowKind, kPrefixes.size() * 256>& FlowKinds() {
  static const auto kinds = [] {
    std::array<FlowKind, kPrefixes.size() * 256> k{};
    const DecodeTable& table = Decoder();
    const DecodeTable& exact = ExactDecoder();
    for (std::size_t slot = 0; slot < kPrefixes.size(); ++slot) {
      for (std::size_t op = 0; op < 256; ++op) {
        FlowKind& kind = k[slot * 256 + op];
        if (slot == 0 && table.prefixSlot[op] != 0) {
          kind = FlowKind::Prefix;
          continue;
        }
        const DecodeEntry* e = &table.entries[slot][op];
        if (e->info == nullptr) e = &exact.entries[slot][op];
        if (e->info == nullptr || e->exec == nullptr) continue;
        kind = FlowOf(InstructionTable[e->info->index]);
      }
    }
    return k;
  }();
  return kinds;
}

class ExecCounters final : public StepObserver {
 public:
  using Cell = StepObserver::Cell;
  struct BranchCell {
    std::uint64_t taken = 0;
    std::uint64_t notTaken = 0;
  };
  // Cycles of interrupt entries charged to a handler's first address.
  struct EntryCell {
    std::uint64_t cycles = 0;
  };
  struct FunctionCell {
    std::uint64_t calls = 0;      // calls and interrupt entries
    std::uint64_t inclusive = 0;  // of the activations already returned from
    std::uint32_t active = 0;     // frames of the function on the shadow stack
  };
  struct Frame {
    std::uint16_t function = 0;
    std::uint16_t entrySP = 0;  // SP once the return address was pushed
    std::int64_t start = 0;     // CycleCount when the activation began
  };
  // Deeper than any real program's nesting of distinct functions: a deeper
  // recursion keeps only the outermost frame of each function it repeats,
  // and past that the oldest frames above the root go, never memory.
  static constexpr std::size_t kMaxFrames = 256;

  // The counts at one moment, kept by the time-travel record: only the
  // addresses that ran, so a snapshot stays small.
  struct Saved {
    struct At {
      std::uint16_t address = 0;
      Cell cell;
      std::uint64_t entryCycles = 0;
    };
    std::vector<At> cells;
    std::vector<FunctionCell> functions;
    std::vector<Frame> frames;
    std::int64_t origin = 0;
    std::size_t Bytes() const {
      return cells.capacity() * sizeof(At) + functions.capacity() * sizeof(FunctionCell) +
             frames.capacity() * sizeof(Frame);
    }
  };

  // Large: allocate it (std::make_unique).
  ExecCounters() : entries_(new EntryCell[65536]), functionOf_(65536, 0) {
    functions_.resize(1);
    seen_.assign(1, false);
    frames_.reserve(kMaxFrames);
    // A step needs attention only when its instruction may transfer (its
    // cycles then exceed one) and, for calls and returns, for the shadow
    // stack; a branch's ways come from its cycles.
    const auto& kinds = FlowKinds();
    bool prefixedTransfers = false;
    for (std::size_t i = 256; i < kinds.size(); ++i) prefixedTransfers |= kinds[i] != FlowKind::None;
    for (std::size_t op = 0; op < 256; ++op) {
      switch (kinds[op]) {
        case FlowKind::Call:
        case FlowKind::Return:
          flow_[op] = kTransfers | kShadowStack;
          break;
        case FlowKind::Prefix:
          flow_[op] = prefixedTransfers ? kTransfers | kShadowStack : 0;
          break;
        case FlowKind::Branch:
        case FlowKind::Jump:
          flow_[op] = kTransfers;
          break;
        default:
          break;
      }
    }
  }

  // Every count back to zero, the shadow stack emptied; the function map
  // stays. `now` is the machine's CycleCount: the code running then is the
  // root of the calls that follow.
  void Reset(std::int64_t now = 0) {
    ++resets_;
    origin_ = now;
    cells_.fill(Cell{});
    std::fill(entries_.get(), entries_.get() + 65536, EntryCell{});
    std::fill(functions_.begin(), functions_.end(), FunctionCell{});
    frames_.clear();
  }

  // Which function (1..count, 0 for none) each address belongs to; resets.
  void SetFunctionMap(std::vector<std::uint16_t> functionOf, std::size_t count, std::int64_t now = 0) {
    if (functionOf.size() != 65536) functionOf.assign(65536, 0);
    functionOf_ = std::move(functionOf);
    functions_.assign(count + 1, FunctionCell{});
    seen_.assign(count + 1, false);
    for (std::uint16_t& f : functionOf_)
      if (f > count) f = 0;
    Reset(now);
  }

  // Copies the counts into `s`, reusing its storage.
  void Save(Saved& s) const {
    s.cells.clear();
    for (std::uint32_t a = 0; a < 65536; ++a) {
      const Cell& c = cells_[a];
      if ((c.count | c.extra) != 0) s.cells.push_back({static_cast<std::uint16_t>(a), c, entries_[a].cycles});
    }
    s.functions = functions_;
    s.frames = frames_;
    s.origin = origin_;
  }
  // Puts the counts of `s` back; the function map stays. Counts saved under
  // another map (none are, the record starts over at each load) read as zero.
  void Restore(const Saved& s) {
    cells_.fill(Cell{});
    std::fill(entries_.get(), entries_.get() + 65536, EntryCell{});
    for (const Saved::At& at : s.cells) {
      cells_[at.address] = at.cell;
      entries_[at.address].cycles = at.entryCycles;
    }
    if (s.functions.size() == functions_.size()) {
      std::copy(s.functions.begin(), s.functions.end(), functions_.begin());
      frames_.assign(s.frames.begin(), s.frames.end());
    } else {
      std::fill(functions_.begin(), functions_.end(), FunctionCell{});
      frames_.clear();
    }
    origin_ = s.origin;
  }
  // Grows at every Reset: tells the record that the counts were cleared
  // behind its back.
  std::uint64_t Resets() const { return resets_; }

  // --- The run engine's side ---------------------------------------------
  // The periodic interrupt left `interrupted` for its handler (now at PC);
  // the entry began at `start`. Its cycles go to the handler's first address.
  void InterruptEntered(Machine& m, std::uint16_t interrupted, std::int64_t start) override {
    const std::uint16_t handler = m.cpu.PC;
    const auto entry = static_cast<std::uint64_t>(m.CycleCount - start);
    cells_[handler].extra += entry;
    entries_[handler].cycles += entry;
    EnterRootOnce(interrupted);
    Enter(functionOf_[handler], m.cpu.SP, start);
  }

  // --- Reading -------------------------------------------------------------
  const Cell& At(std::uint16_t address) const { return cells_[address]; }
  // For a conditional branch at `address`: how often it was taken or not.
  BranchCell BranchAt(std::uint16_t address) const {
    const Cell& c = cells_[address];
    const std::uint64_t taken = c.extra - entries_[address].cycles;
    return BranchCell{taken, c.count - taken};
  }
  std::uint16_t FunctionOf(std::uint16_t address) const { return functionOf_[address]; }
  std::size_t FunctionCount() const { return functions_.size() - 1; }
  std::uint64_t Calls(std::size_t function) const { return functions_.at(function).calls; }
  // Inclusive cycles up to `now`: the returned activations plus the one still
  // on the shadow stack, from its outermost frame.
  std::uint64_t Inclusive(std::size_t function, std::int64_t now) const {
    std::uint64_t total = functions_.at(function).inclusive;
    for (const Frame& f : frames_) {
      if (f.function != function) continue;
      total += static_cast<std::uint64_t>(now - f.start);
      break;
    }
    return total;
  }
  std::size_t Depth() const { return frames_.size(); }

 private:
  void Flow(Machine& m, std::uint16_t pc, std::uint8_t op) override {
    FlowKind kind = FlowKinds()[op];
    if (kind == FlowKind::Prefix) {
      const std::size_t slot = Decoder().prefixSlot[op];
      kind = FlowKinds()[slot * 256 + m.Memory[static_cast<std::uint16_t>(pc + 1)]];
    }
    switch (kind) {
      case FlowKind::Call:
        EnterRootOnce(pc);
        Enter(functionOf_[m.cpu.PC], m.cpu.SP, m.CycleCount);
        break;
      case FlowKind::Return:
        // Every frame whose return address lies below the new SP is over: a
        // plain return ends one, a return through a reset stack ends all the
        // frames it skipped, and one that pops nothing (a pushed address
        // used as a jump) ends none.
        while (!frames_.empty() && frames_.back().entrySP < m.cpu.SP) {
          Leave(frames_.back(), m.CycleCount);
          frames_.pop_back();
        }
        break;
      default:
        break;
    }
  }

  // The code that makes the first call since the reset was running from the
  // start: its function gets a frame no return pops, so its inclusive cycles
  // cover its callees too. It was not called, so no call is counted.
  void EnterRootOnce(std::uint16_t pc) {
    if (!frames_.empty()) return;
    FunctionCell& f = functions_[functionOf_[pc]];
    ++f.active;
    frames_.push_back(Frame{functionOf_[pc], 0xFFFF, origin_});
  }

  void Enter(std::uint16_t function, std::uint16_t sp, std::int64_t start) {
    // A return address pushed at or above a frame's overwrites or abandons
    // that frame's own (the stack was reset): no return can end it any more.
    // So the stack's entry SPs always fall from the root up.
    while (frames_.size() > 1 && frames_.back().entrySP <= sp) {
      Leave(frames_.back(), start);
      frames_.pop_back();
    }
    if (frames_.size() == kMaxFrames) [[unlikely]]
      Compact(start);
    FunctionCell& f = functions_[function];
    ++f.calls;
    ++f.active;
    frames_.push_back(Frame{function, sp, start});
  }

  // A full stack. A frame of a function that also has an older frame below
  // it adds nothing to the inclusive cycles (only the outermost activation
  // counts, and the entry SPs fall, so every return ends the younger one
  // first): those go, and the returns still end the rest exactly. Only a
  // stack of distinct functions loses its oldest frames, never the root's:
  // the root's time runs from the reset.
  [[gnu::noinline]] void Compact(std::int64_t now) {
    std::fill(seen_.begin(), seen_.end(), false);
    std::size_t kept = 0;
    for (const Frame& frame : frames_) {
      if (seen_[frame.function]) {
        --functions_[frame.function].active;  // an inner activation, never the last
        continue;
      }
      seen_[frame.function] = true;
      frames_[kept++] = frame;
    }
    frames_.resize(kept);
    if (kept < kMaxFrames) return;
    const std::size_t drop = kMaxFrames / 2;
    const auto first = frames_.begin() + 1;  // the root stays
    for (auto it = first; it != first + static_cast<std::ptrdiff_t>(drop); ++it) Leave(*it, now);
    frames_.erase(first, first + static_cast<std::ptrdiff_t>(drop));
  }

  void Leave(const Frame& frame, std::int64_t now) {
    FunctionCell& f = functions_[frame.function];
    // Only the outermost activation adds, so recursion counts its time once.
    if (f.active > 0 && --f.active == 0) f.inclusive += static_cast<std::uint64_t>(now - frame.start);
  }

  std::unique_ptr<EntryCell[]> entries_;
  std::vector<std::uint16_t> functionOf_;
  std::vector<FunctionCell> functions_;
  std::vector<Frame> frames_;
  std::vector<bool> seen_;  // per function, for Compact
  std::int64_t origin_ = 0;
  std::uint64_t resets_ = 0;
};

}  // namespace hc11
