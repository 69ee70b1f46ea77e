#include "tests/core/chip_reference.h"

#include <map>
#include <string_view>

namespace hc11::test::ref {

namespace {

// Condition-code bits, as the data sheet draws them: S X H I N Z V C.
constexpr int C = 0, V = 1, Z = 2, N = 3, I = 4, H = 5, Xb = 6, S = 7;

bool Bit(unsigned v, int n) {
  return (v >> n) & 1u;
}

struct Model {
  Cpu& c;
  const Op& op;
  std::uint16_t ea = 0;
  std::uint8_t imm8 = 0, mask = 0;
  std::uint16_t imm16 = 0, target = 0;

  void Put(int bit, bool on) {
    c.cc = static_cast<std::uint8_t>(on ? c.cc | 1u << bit : c.cc & ~(1u << bit));
  }
  bool Get(int bit) const { return Bit(c.cc, bit); }
  std::uint8_t Rd(std::uint16_t a) const { return c.mem[a]; }
  void Wr(std::uint16_t a, std::uint8_t v) { c.mem[a] = v; }
  std::uint16_t Rd16(std::uint16_t a) const {
    return static_cast<std::uint16_t>(Rd(a) << 8 | Rd(static_cast<std::uint16_t>(a + 1)));
  }
  void Wr16(std::uint16_t a, std::uint16_t v) {
    Wr(a, static_cast<std::uint8_t>(v >> 8));
    Wr(static_cast<std::uint16_t>(a + 1), static_cast<std::uint8_t>(v));
  }
  std::uint8_t M8() const { return op.mode == Mode::Imm8 ? imm8 : Rd(ea); }
  std::uint16_t M16() const { return op.mode == Mode::Imm16 ? imm16 : Rd16(ea); }
  std::uint16_t D() const { return static_cast<std::uint16_t>(c.a << 8 | c.b); }
  void SetD(std::uint16_t d) {
    c.a = static_cast<std::uint8_t>(d >> 8);
    c.b = static_cast<std::uint8_t>(d);
  }
  void Push(std::uint8_t v) { Wr(c.sp--, v); }
  std::uint8_t Pull() { return Rd(++c.sp); }

  // N Z V=0 for 8 and 16 bits.
  void NZ(unsigned r, int top) {
    Put(N, Bit(r, top));
    Put(Z, (r & ((2u << top) - 1)) == 0);
    Put(V, false);
  }
  // The data sheet's Boolean formulas, bit `t` the sign bit.
  std::uint32_t Add(unsigned a, unsigned m, unsigned carry, int t, bool half) {
    const unsigned r = (a + m + carry) & ((2u << t) - 1);
    const bool a7 = Bit(a, t), m7 = Bit(m, t), r7 = Bit(r, t);
    Put(N, r7);
    Put(Z, r == 0);
    Put(V, (a7 && m7 && !r7) || (!a7 && !m7 && r7));
    Put(C, (a7 && m7) || (m7 && !r7) || (!r7 && a7));
    if (half) Put(H, (Bit(a, 3) && Bit(m, 3)) || (Bit(m, 3) && !Bit(r, 3)) || (!Bit(r, 3) && Bit(a, 3)));
    return r;
  }
  std::uint32_t Sub(unsigned a, unsigned m, unsigned borrow, int t) {
    const unsigned r = (a - m - borrow) & ((2u << t) - 1);
    const bool a7 = Bit(a, t), m7 = Bit(m, t), r7 = Bit(r, t);
    Put(N, r7);
    Put(Z, r == 0);
    Put(V, (a7 && !m7 && !r7) || (!a7 && m7 && r7));
    Put(C, (!a7 && m7) || (m7 && r7) || (r7 && !a7));
    return r;
  }
  // The read-modify-write family on a byte.
  std::uint8_t Rmw(std::string_view n, std::uint8_t m) {
    unsigned r = m;
    bool carry = Get(C);
    if (n == "neg") {
      r = (0x100u - m) & 0xFF;
      Put(V, r == 0x80);
      carry = r != 0;
    } else if (n == "com") {
      r = ~m & 0xFFu;
      Put(V, false);
      carry = true;
    } else if (n == "dec" || n == "inc") {
      r = (m + (n == "inc" ? 1u : 0xFFu)) & 0xFF;
      Put(V, n == "inc" ? m == 0x7F : m == 0x80);
    } else if (n == "clr") {
      r = 0;
      Put(V, false);
      carry = false;
    } else if (n == "tst") {
      Put(V, false);
      carry = false;
    } else {
      // Shifts and rotates: C gets the bit that leaves, V = N xor C.
      const bool left = n == "asl" || n == "rol";
      const unsigned in = n == "rol"   ? (Get(C) ? 1u : 0u)
                          : n == "ror" ? (Get(C) ? 0x80u : 0u)
                          : n == "asr" ? (m & 0x80u)
                                       : 0u;
      carry = left ? Bit(m, 7) : Bit(m, 0);
      r = ((left ? m << 1 : m >> 1) | in) & 0xFF;
      Put(V, Bit(r, 7) != carry);
    }
    Put(N, Bit(r, 7));
    Put(Z, r == 0);
    Put(C, carry);
    return static_cast<std::uint8_t>(r);
  }
  bool Taken(std::string_view n) const {
    const bool cf = Get(C), z = Get(Z), nf = Get(N), v = Get(V);
    if (n == "bra") return true;
    if (n == "brn") return false;
    if (n == "bhi") return !(cf || z);
    if (n == "bls") return cf || z;
    if (n == "bcc") return !cf;
    if (n == "bcs") return cf;
    if (n == "bne") return !z;
    if (n == "beq") return z;
    if (n == "bvc") return !v;
    if (n == "bvs") return v;
    if (n == "bpl") return !nf;
    if (n == "bmi") return nf;
    if (n == "bge") return nf == v;
    if (n == "blt") return nf != v;
    if (n == "bgt") return !(z || nf != v);
    return z || nf != v;  // ble
  }
  std::uint8_t& Acc(char which) { return which == 'a' ? c.a : c.b; }
  std::uint16_t& Index16(std::string_view n) {
    const char r = n.back();
    return r == 'x' ? c.x : r == 'y' ? c.y : c.sp;
  }

  bool Run();
};

bool Model::Run() {
  const std::string_view n = op.name;
  const char last = n.back();
  if (n == "nop") return true;
  if (n == "tap") {
    // X cannot go from 0 to 1.
    c.cc = static_cast<std::uint8_t>(Get(Xb) ? c.a : c.a & ~(1u << Xb));
    return true;
  }
  if (n == "tpa") return c.a = c.cc, true;
  if (n == "clc" || n == "sec") return Put(C, n == "sec"), true;
  if (n == "clv" || n == "sev") return Put(V, n == "sev"), true;
  if (n == "cli" || n == "sei") return Put(I, n == "sei"), true;
  if (n == "tab" || n == "tba") {
    const std::uint8_t v = n == "tab" ? (c.b = c.a) : (c.a = c.b);
    return NZ(v, 7), true;
  }
  if (n == "aba") return c.a = static_cast<std::uint8_t>(Add(c.a, c.b, 0, 7, true)), true;
  if (n == "sba") return c.a = static_cast<std::uint8_t>(Sub(c.a, c.b, 0, 7)), true;
  if (n == "cba") return Sub(c.a, c.b, 0, 7), true;
  if (n == "daa") {
    const unsigned lo = c.a & 0xF, hi = c.a >> 4;
    unsigned fix = (Get(H) || lo > 9) ? 0x06 : 0;
    const bool carry = Get(C) || hi > 9 || (hi > 8 && lo > 9);
    if (carry) fix += 0x60;
    c.a = static_cast<std::uint8_t>(c.a + fix);
    Put(N, Bit(c.a, 7));
    Put(Z, c.a == 0);
    Put(C, carry);
    return true;
  }
  if (n == "mul") {
    SetD(static_cast<std::uint16_t>(c.a * c.b));
    return Put(C, Bit(c.b, 7)), true;
  }
  if (n == "idiv" || n == "fdiv") {
    const std::uint32_t d = D(), x = c.x;
    Put(C, x == 0);
    if (n == "idiv") {
      Put(V, false);
      if (x != 0) {
        c.x = static_cast<std::uint16_t>(d / x);
        SetD(static_cast<std::uint16_t>(d % x));
      } else {
        c.x = 0xFFFF;  // the remainder is undefined: D kept
      }
    } else {
      Put(V, x <= d);
      if (x > d) {
        c.x = static_cast<std::uint16_t>((d << 16) / x);
        SetD(static_cast<std::uint16_t>((d << 16) % x));
      } else {
        c.x = 0xFFFF;
      }
    }
    return Put(Z, c.x == 0), true;
  }
  if (n == "lsrd" || n == "asld") {
    const unsigned d = D();
    const bool carry = n == "lsrd" ? Bit(d, 0) : Bit(d, 15);
    const unsigned r = (n == "lsrd" ? d >> 1 : d << 1) & 0xFFFF;
    SetD(static_cast<std::uint16_t>(r));
    Put(N, Bit(r, 15));
    Put(Z, r == 0);
    Put(C, carry);
    return Put(V, Bit(r, 15) != carry), true;
  }
  if (n == "inx" || n == "dex" || n == "iny" || n == "dey") {
    std::uint16_t& r = Index16(n);
    r = static_cast<std::uint16_t>(r + (n[0] == 'i' ? 1 : -1));
    return Put(Z, r == 0), true;
  }
  if (n == "ins") return ++c.sp, true;
  if (n == "des") return --c.sp, true;
  if (n == "tsx" || n == "tsy") return Index16(n) = static_cast<std::uint16_t>(c.sp + 1), true;
  if (n == "txs" || n == "tys") return c.sp = static_cast<std::uint16_t>((n[1] == 'x' ? c.x : c.y) - 1), true;
  if (n == "abx" || n == "aby") return Index16(n) = static_cast<std::uint16_t>(Index16(n) + c.b), true;
  if (n == "xgdx" || n == "xgdy") {
    const std::uint16_t d = D();
    SetD(Index16(n));
    return Index16(n) = d, true;
  }
  if (n == "psha" || n == "pshb") return Push(Acc(last)), true;
  if (n == "pula" || n == "pulb") return Acc(last) = Pull(), true;
  if (n == "pshx" || n == "pshy") {
    const std::uint16_t v = Index16(n);
    Push(static_cast<std::uint8_t>(v));
    return Push(static_cast<std::uint8_t>(v >> 8)), true;
  }
  if (n == "pulx" || n == "puly") {
    const std::uint8_t hi = Pull();
    return Index16(n) = static_cast<std::uint16_t>(hi << 8 | Pull()), true;
  }
  if (n == "rts") {
    const std::uint8_t hi = Pull();
    return c.pc = static_cast<std::uint16_t>(hi << 8 | Pull()), true;
  }
  if (n == "rti") {
    const std::uint8_t cc = Pull();
    c.cc = static_cast<std::uint8_t>(Get(Xb) ? cc : cc & ~(1u << Xb));
    c.b = Pull();
    c.a = Pull();
    std::uint8_t hi = Pull();
    c.x = static_cast<std::uint16_t>(hi << 8 | Pull());
    hi = Pull();
    c.y = static_cast<std::uint16_t>(hi << 8 | Pull());
    hi = Pull();
    return c.pc = static_cast<std::uint16_t>(hi << 8 | Pull()), true;
  }
  if (op.mode == Mode::Rel && n != "bsr") {
    if (Taken(n)) c.pc = target;
    return true;
  }
  if (n == "bsr" || n == "jsr") {
    Push(static_cast<std::uint8_t>(c.pc));
    Push(static_cast<std::uint8_t>(c.pc >> 8));
    return c.pc = n == "bsr" ? target : ea, true;
  }
  if (n == "jmp") return c.pc = ea, true;
  if (n == "bset" || n == "bclr") {
    const auto v = static_cast<std::uint8_t>(n == "bset" ? Rd(ea) | mask : Rd(ea) & ~mask);
    Wr(ea, v);
    return NZ(v, 7), true;
  }
  if (n == "brset" || n == "brclr") {
    const std::uint8_t v = n == "brset" ? static_cast<std::uint8_t>(~Rd(ea)) : Rd(ea);
    if ((v & mask) == 0) c.pc = target;
    return true;
  }
  // The read-modify-write family on A, B or memory.
  const std::string_view stem = n.size() == 4 && (last == 'a' || last == 'b') ? n.substr(0, 3) : n;
  for (const char* r : {"neg", "com", "lsr", "ror", "asr", "asl", "rol", "dec", "inc", "tst", "clr"}) {
    if (stem != r) continue;
    if (op.mode == Mode::Inh) {
      Acc(last) = Rmw(stem, Acc(last));
    } else {
      const std::uint8_t v = Rmw(stem, Rd(ea));
      if (stem != "tst") Wr(ea, v);
    }
    return true;
  }
  // The register quarters.
  if (n == "subd" || n == "addd" || n == "cpd") {
    const std::uint32_t r = n == "addd" ? Add(D(), M16(), 0, 15, false) : Sub(D(), M16(), 0, 15);
    if (n != "cpd") SetD(static_cast<std::uint16_t>(r));
    return true;
  }
  if (n == "cpx" || n == "cpy") return Sub(Index16(n), M16(), 0, 15), true;
  if (n == "ldd") {
    SetD(M16());
    return NZ(D(), 15), true;
  }
  if (n == "std") {
    Wr16(ea, D());
    return NZ(D(), 15), true;
  }
  if (n == "lds" || n == "ldx" || n == "ldy") {
    Index16(n) = M16();
    return NZ(Index16(n), 15), true;
  }
  if (n == "sts" || n == "stx" || n == "sty") {
    Wr16(ea, Index16(n));
    return NZ(Index16(n), 15), true;
  }
  std::uint8_t& acc = Acc(last);
  const std::string_view verb = n.substr(0, 3);
  if (verb == "lda") return acc = M8(), NZ(acc, 7), true;
  if (verb == "sta") return Wr(ea, acc), NZ(acc, 7), true;
  if (verb == "add" || verb == "adc")
    return acc = static_cast<std::uint8_t>(Add(acc, M8(), verb == "adc" && Get(C), 7, true)), true;
  if (verb == "sub" || verb == "sbc")
    return acc = static_cast<std::uint8_t>(Sub(acc, M8(), verb == "sbc" && Get(C), 7)), true;
  if (verb == "cmp") return Sub(acc, M8(), 0, 7), true;
  if (verb == "and") return acc &= M8(), NZ(acc, 7), true;
  if (verb == "ora") return acc |= M8(), NZ(acc, 7), true;
  if (verb == "eor") return acc ^= M8(), NZ(acc, 7), true;
  if (verb == "bit") return NZ(acc & M8(), 7), true;
  return false;
}

}  // namespace

bool Execute(Cpu& cpu) {
  static const std::map<std::pair<int, int>, const Op*> byCode = [] {
    std::map<std::pair<int, int>, const Op*> map;
    for (const Op& op : Opcodes()) map[{op.prefix, op.opcode}] = &op;
    return map;
  }();
  std::uint16_t pc = cpu.pc;
  int prefix = 0;
  if (cpu.mem[pc] == 0x18 || cpu.mem[pc] == 0x1A || cpu.mem[pc] == 0xCD) prefix = cpu.mem[pc++];
  const auto it = byCode.find({prefix, cpu.mem[pc++]});
  if (it == byCode.end()) return false;
  const Op& op = *it->second;
  const std::string_view n = op.name;
  if (n == "wai" || n == "stop" || n == "swi" || n == "test") return false;
  Model model{cpu, op};
  auto next = [&] { return cpu.mem[pc++]; };
  switch (op.mode) {
    case Mode::Imm8:
      model.imm8 = next();
      break;
    case Mode::Imm16:
    case Mode::Ext: {
      const std::uint8_t hi = next();
      const auto word = static_cast<std::uint16_t>(hi << 8 | next());
      model.imm16 = model.ea = word;
      break;
    }
    case Mode::Dir:
    case Mode::DirBit:
    case Mode::DirBr:
      model.ea = next();
      break;
    case Mode::IndX:
    case Mode::IndXBit:
    case Mode::IndXBr:
      model.ea = static_cast<std::uint16_t>(cpu.x + next());
      break;
    case Mode::IndY:
    case Mode::IndYBit:
    case Mode::IndYBr:
      model.ea = static_cast<std::uint16_t>(cpu.y + next());
      break;
    default:
      break;
  }
  if (op.mode == Mode::DirBit || op.mode == Mode::IndXBit || op.mode == Mode::IndYBit ||
      op.mode == Mode::DirBr || op.mode == Mode::IndXBr || op.mode == Mode::IndYBr)
    model.mask = next();
  if (op.mode == Mode::Rel || op.mode == Mode::DirBr || op.mode == Mode::IndXBr || op.mode == Mode::IndYBr) {
    const auto offset = static_cast<std::int8_t>(next());
    model.target = static_cast<std::uint16_t>(pc + offset);
  }
  cpu.pc = pc;
  return model.Run();
}

}  // namespace hc11::test::ref
