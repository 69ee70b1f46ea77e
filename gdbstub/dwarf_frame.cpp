#include "gdbstub/dwarf_frame.h"

#include <algorithm>
#include <map>
#include <optional>

#include "gdbstub/dwarf_bytes.h"

namespace hc11::gdb {

namespace {

// GDB's register numbers for the 68HC11, which its DWARF reader uses as is.
constexpr unsigned kRegX = 0, kRegD = 1, kRegY = 2, kRegSp = 3, kRegPc = 4, kRegA = 5, kRegB = 6, kRegCcr = 7;
constexpr int kCallFrame = 2, kInterruptFrame = 9;
constexpr int kMaxDepth = 256;
constexpr std::uint16_t kFirstVector = 0xFFD6, kResetVector = 0xFFFE;

constexpr std::uint8_t kAdvanceLoc = 0x40, kAdvanceLoc1 = 0x02, kAdvanceLoc2 = 0x03, kOffset = 0x80,
                       kUndefined = 0x07, kDefCfa = 0x0c, kDefCfaOffset = 0x0e, kEncodingUdata2 = 0x02;

// What one instruction does to the walk.
struct Effect {
  enum Kind { Next, Jump, Branch, End, Lost } kind = Next;
  int push = 0;              // bytes pushed (negative: pulled)
  std::uint32_t target = 0;  // Jump, Branch
};

std::uint8_t Byte(const CodeImage& code, std::uint32_t a) {
  return code.bytes[a & 0xFFFF];
}

std::uint32_t Relative(std::uint32_t next, std::uint8_t offset) {
  return (next + static_cast<std::uint32_t>(static_cast<std::int8_t>(offset))) & 0xFFFF;
}

Effect EffectOf(const CodeImage& code, std::uint32_t a, std::uint32_t length) {
  const std::uint32_t next = a + length;
  const std::uint8_t op = Byte(code, a);
  if (op == 0x18) {
    switch (Byte(code, a + 1)) {
      case 0x3C:
        return {Effect::Next, 2};
      case 0x38:
        return {Effect::Next, -2};
      case 0x35:  // tys
      case 0x6E:  // jmp through Y
        return {Effect::Lost};
      case 0x1E:
      case 0x1F:
        return {Effect::Branch, 0, Relative(next, Byte(code, next - 1))};
      default:
        return {};
    }
  }
  switch (op) {
    case 0x36:
    case 0x37:
    case 0x34:  // des
      return {Effect::Next, 1};
    case 0x32:
    case 0x33:
    case 0x31:  // ins
      return {Effect::Next, -1};
    case 0x3C:
      return {Effect::Next, 2};
    case 0x38:
      return {Effect::Next, -2};
    case 0x35:  // txs
    case 0x6E:  // jmp through X
      return {Effect::Lost};
    case 0x39:  // rts
    case 0x3B:  // rti
    case 0xCF:  // stop
      return {Effect::End};
    case 0x7E:
      return {Effect::Jump, 0, static_cast<std::uint32_t>(Byte(code, a + 1) << 8 | Byte(code, a + 2))};
    case 0x20:
      return {Effect::Jump, 0, Relative(next, Byte(code, a + 1))};
    case 0x21:  // brn: never taken
      return {};
    case 0x12:
    case 0x13:
    case 0x1E:
    case 0x1F:
      return {Effect::Branch, 0, Relative(next, Byte(code, next - 1))};
    default:
      if (op >= 0x22 && op <= 0x2F) return {Effect::Branch, 0, Relative(next, Byte(code, a + 1))};
      return {};
  }
}

void Advance(ByteWriter& w, std::uint32_t delta) {
  if (delta == 0) return;
  if (delta < 0x40) {
    w.U8(kAdvanceLoc | delta);
  } else if (delta < 0x100) {
    w.U8(kAdvanceLoc1);
    w.U8(delta);
  } else {
    w.U8(kAdvanceLoc2);
    w.U16(delta);
  }
}

void PadEntry(ByteWriter& w, std::size_t start) {
  while ((w.size() - start) % 4 != 0) w.U8(0);  // DW_CFA_nop
  w.Patch32(start, static_cast<std::uint32_t>(w.size() - start - 4));
}

void WriteFde(ByteWriter& w, const CodeImage& code, const std::vector<ListedLine>& lines,
              const FrameRoutine& r) {
  const std::size_t start = w.size();
  w.U32(0);
  w.U32(0);  // the CIE at offset 0
  w.U16(r.start);
  w.U16(r.end - r.start);
  w.Uleb(0);  // no augmentation data
  if (r.kind == FrameKind::Outermost) {
    w.U8(kUndefined);
    w.Uleb(kRegPc);
    PadEntry(w, start);
    return;
  }
  const int base = r.kind == FrameKind::Interrupt ? kInterruptFrame : kCallFrame;
  if (r.kind == FrameKind::Interrupt) {
    w.U8(kDefCfaOffset);
    w.Uleb(base);
    // The processor stacked the registers below the return address.
    for (const auto& [reg, offset] :
         {std::pair{kRegY, 3u}, {kRegX, 5u}, {kRegA, 6u}, {kRegB, 7u}, {kRegCcr, 8u}}) {
      w.U8(kOffset | reg);
      w.Uleb(offset);
    }
    w.U8(kUndefined);  // D is A:B, which lie the wrong way round for one rule
    w.Uleb(kRegD);
  }
  std::optional<int> shown = 0;
  std::uint32_t at = r.start;
  for (const FrameState& s : WalkRoutine(code, lines, r)) {
    if (s.depth == shown) continue;
    Advance(w, s.address - at);
    at = s.address;
    if (!s.depth) {
      w.U8(kUndefined);
      w.Uleb(kRegPc);
    } else {
      if (!shown) {
        w.U8(kOffset | kRegPc);
        w.Uleb(1);
      }
      w.U8(kDefCfaOffset);
      w.Uleb(base + *s.depth);
    }
    shown = s.depth;
  }
  PadEntry(w, start);
}

}  // namespace

std::vector<FrameState> WalkRoutine(const CodeImage& code, const std::vector<ListedLine>& lines,
                                    const FrameRoutine& r) {
  // Instruction starts and lengths inside the routine.
  std::map<std::uint32_t, std::uint32_t> length;
  std::vector<std::uint32_t> starts;
  for (const ListedLine& l : lines)
    if (!l.data && l.address >= r.start && l.address < r.end && code.loaded[l.address])
      starts.push_back(l.address);
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::uint32_t next = i + 1 < starts.size() ? starts[i + 1] : r.end;
    length[starts[i]] = std::min<std::uint32_t>(next - starts[i], 5);
  }

  // Depth per instruction: absent (not reached), a number, or lost.
  enum class Seen { Known, Lost };
  std::map<std::uint32_t, std::pair<Seen, int>> state;
  std::vector<std::pair<std::uint32_t, std::optional<int>>> work{{r.start, 0}};
  while (!work.empty()) {
    auto [a, depth] = work.back();
    work.pop_back();
    const auto len = length.find(a);
    if (len == length.end()) continue;  // outside the routine, or not an instruction start
    auto it = state.find(a);
    if (it != state.end()) {
      if (it->second.first == Seen::Lost) continue;
      if (depth && *depth == it->second.second) continue;
      it->second.first = Seen::Lost;  // paths disagree
      depth.reset();
    } else {
      state[a] = depth ? std::pair{Seen::Known, *depth} : std::pair{Seen::Lost, 0};
    }
    const Effect e = EffectOf(code, a, len->second);
    std::optional<int> after = depth;
    if (e.kind == Effect::Lost) after.reset();
    if (after) {
      *after += e.push;
      if (*after < 0 || *after > kMaxDepth) after.reset();
    }
    if (e.kind == Effect::End) continue;
    if (e.kind == Effect::Jump || e.kind == Effect::Branch) work.emplace_back(e.target, after);
    if (e.kind != Effect::Jump) work.emplace_back(a + len->second, after);
  }

  std::vector<FrameState> states;
  for (const std::uint32_t a : starts) {
    const auto it = state.find(a);
    FrameState s{static_cast<std::uint16_t>(a), std::nullopt};
    if (it != state.end() && it->second.first == Seen::Known) s.depth = it->second.second;
    states.push_back(s);
  }
  return states;
}

std::vector<FrameRoutine> FrameRoutines(const CodeImage& code, const ElfImage& image) {
  auto vector = [&](std::uint32_t at) -> std::optional<std::uint16_t> {
    if (!code.loaded[at] || !code.loaded[at + 1]) return std::nullopt;
    return static_cast<std::uint16_t>(code.bytes[at] << 8 | code.bytes[at + 1]);
  };
  std::vector<std::uint16_t> handlers;
  for (std::uint32_t at = kFirstVector; at < kResetVector; at += 2)
    if (const auto v = vector(at)) handlers.push_back(*v);
  const auto reset = vector(kResetVector);
  std::vector<FrameRoutine> routines;
  for (const ElfSymbol& s : image.symbols) {
    if (s.type != ElfSymbolType::Function || s.size == 0) continue;
    FrameRoutine r{s.address, s.address + s.size, FrameKind::Call};
    if (s.address == image.entry || (reset && s.address == *reset))
      r.kind = FrameKind::Outermost;
    else if (std::find(handlers.begin(), handlers.end(), s.address) != handlers.end())
      r.kind = FrameKind::Interrupt;
    routines.push_back(r);
  }
  return routines;
}

std::string DebugFrameSection(const CodeImage& code, const std::vector<ListedLine>& lines,
                              const std::vector<FrameRoutine>& routines) {
  ByteWriter w;
  w.U32(0);
  w.U32(0xFFFFFFFF);  // a CIE
  w.U8(1);            // version
  // The FDEs' addresses as two-byte numbers: readers otherwise take the
  // ELF class's four bytes, or disagree on which size applies.
  w.Str("zR");
  w.Uleb(1);     // code alignment
  w.Sleb(-1);    // data alignment: offsets count down from the frame address
  w.U8(kRegPc);  // the return address column
  w.Uleb(1);     // augmentation data: the address encoding
  w.U8(kEncodingUdata2);
  // On entry by a call: the caller's SP is two above SP (which points at the
  // next free byte) and the return address lies just below it.
  w.U8(kDefCfa);
  w.Uleb(kRegSp);
  w.Uleb(kCallFrame);
  w.U8(kOffset | kRegPc);
  w.Uleb(1);
  PadEntry(w, 0);
  for (const FrameRoutine& r : routines) WriteFde(w, code, lines, r);
  return w.bytes();
}

}  // namespace hc11::gdb
