// The reference's opcode table: each opcode's mode, length and E cycles,
// written from the data sheet's opcode map.
#include <map>
#include <string_view>

#include "tests/core/chip_reference.h"

namespace hc11::test::ref {

int OperandBytes(Mode mode) {
  switch (mode) {
    case Mode::Inh:
      return 0;
    case Mode::Imm16:
    case Mode::Ext:
    case Mode::DirBit:
    case Mode::IndXBit:
    case Mode::IndYBit:
      return 2;
    case Mode::DirBr:
    case Mode::IndXBr:
    case Mode::IndYBr:
      return 3;
    default:
      return 1;
  }
}

int Length(const Op& op) {
  return (op.prefix != 0 ? 2 : 1) + OperandBytes(op.mode);
}

namespace {

// The data sheet's columns of the $80-$FF quarter: immediate, direct, indexed
// and extended, each with the cycles of an ordinary 8-bit operation.
struct Column {
  std::uint8_t high;
  Mode mode;
};
constexpr Column kColumns[] = {{0x80, Mode::Imm8}, {0x90, Mode::Dir}, {0xA0, Mode::IndX}, {0xB0, Mode::Ext}};

std::vector<Op> Build() {
  std::vector<Op> ops;
  auto add = [&](std::uint8_t prefix, std::uint8_t opcode, std::string name, Mode mode, int cycles) {
    ops.push_back({prefix, opcode, std::move(name), mode, cycles});
  };
  // Page 1, inherent and the bit instructions. TEST outside the factory's
  // test mode is the illegal-opcode trap, with its cycles.
  const std::map<int, std::pair<const char*, int>> inherent = {
      {0x00, {"test", 14}}, {0x01, {"nop", 2}},  {0x02, {"idiv", 41}}, {0x03, {"fdiv", 41}},
      {0x04, {"lsrd", 3}},  {0x05, {"asld", 3}}, {0x06, {"tap", 2}},   {0x07, {"tpa", 2}},
      {0x08, {"inx", 3}},   {0x09, {"dex", 3}},  {0x0A, {"clv", 2}},   {0x0B, {"sev", 2}},
      {0x0C, {"clc", 2}},   {0x0D, {"sec", 2}},  {0x0E, {"cli", 2}},   {0x0F, {"sei", 2}},
      {0x10, {"sba", 2}},   {0x11, {"cba", 2}},  {0x16, {"tab", 2}},   {0x17, {"tba", 2}},
      {0x19, {"daa", 2}},   {0x1B, {"aba", 2}},  {0x30, {"tsx", 3}},   {0x31, {"ins", 3}},
      {0x32, {"pula", 4}},  {0x33, {"pulb", 4}}, {0x34, {"des", 3}},   {0x35, {"txs", 3}},
      {0x36, {"psha", 3}},  {0x37, {"pshb", 3}}, {0x38, {"pulx", 5}},  {0x39, {"rts", 5}},
      {0x3A, {"abx", 3}},   {0x3B, {"rti", 12}}, {0x3C, {"pshx", 4}},  {0x3D, {"mul", 10}},
      {0x3E, {"wai", 14}},  {0x3F, {"swi", 14}}, {0x8F, {"xgdx", 3}},  {0xCF, {"stop", 2}},
  };
  for (const auto& [op, nc] : inherent) add(0, static_cast<std::uint8_t>(op), nc.first, Mode::Inh, nc.second);
  add(0, 0x12, "brset", Mode::DirBr, 6);
  add(0, 0x13, "brclr", Mode::DirBr, 6);
  add(0, 0x14, "bset", Mode::DirBit, 6);
  add(0, 0x15, "bclr", Mode::DirBit, 6);
  add(0, 0x1C, "bset", Mode::IndXBit, 7);
  add(0, 0x1D, "bclr", Mode::IndXBit, 7);
  add(0, 0x1E, "brset", Mode::IndXBr, 7);
  add(0, 0x1F, "brclr", Mode::IndXBr, 7);
  const char* branches[] = {"bra", "brn", "bhi", "bls", "bcc", "bcs", "bne", "beq",
                            "bvc", "bvs", "bpl", "bmi", "bge", "blt", "bgt", "ble"};
  for (int i = 0; i < 16; ++i) add(0, static_cast<std::uint8_t>(0x20 + i), branches[i], Mode::Rel, 3);
  // Read-modify-write: A, B, indexed, extended.
  const char* rmw[16] = {"neg", nullptr, nullptr, "com",   "lsr", nullptr, "ror", "asr",
                         "asl", "rol",   "dec",   nullptr, "inc", "tst",   "jmp", "clr"};
  for (int i = 0; i < 16; ++i) {
    if (rmw[i] == nullptr) continue;
    const std::string n = rmw[i];
    const bool jump = n == "jmp";
    if (!jump) {
      add(0, static_cast<std::uint8_t>(0x40 + i), n + "a", Mode::Inh, 2);
      add(0, static_cast<std::uint8_t>(0x50 + i), n + "b", Mode::Inh, 2);
    }
    add(0, static_cast<std::uint8_t>(0x60 + i), n, Mode::IndX, jump ? 3 : 6);
    add(0, static_cast<std::uint8_t>(0x70 + i), n, Mode::Ext, jump ? 3 : 6);
    add(0x18, static_cast<std::uint8_t>(0x60 + i), n, Mode::IndY, jump ? 4 : 7);
  }
  // The two register quarters. Cycles: 8-bit 2/3/4/4; 16-bit arithmetic
  // 4/5/6/6; 16-bit loads and stores 3/4/5/5; JSR -/5/6/6.
  const char* aSide[16] = {"suba", "cmpa", "sbca", "subd", "anda", "bita", "ldaa", "staa",
                           "eora", "adca", "oraa", "adda", "cpx",  "jsr",  "lds",  "sts"};
  const char* bSide[16] = {"subb", "cmpb", "sbcb", "addd", "andb", "bitb", "ldab", "stab",
                           "eorb", "adcb", "orab", "addb", "ldd",  "std",  "ldx",  "stx"};
  for (int side = 0; side < 2; ++side) {
    for (int col = 0; col < 4; ++col) {
      for (int i = 0; i < 16; ++i) {
        const std::string n = side == 0 ? aSide[i] : bSide[i];
        const bool store = n == "staa" || n == "stab" || n == "sts" || n == "std" || n == "stx";
        const bool word = i == 3 || i >= 12;
        Mode mode = kColumns[col].mode;
        if (col == 0 && (store || n == "jsr")) continue;  // no immediate store; $8D is BSR
        if (col == 0 && word) mode = Mode::Imm16;
        int cycles = 2 + (col == 0 ? 0 : col == 1 ? 1 : 2);
        if (word) cycles += (i == 3 || n == "cpx") ? 2 : 1;
        if (n == "jsr") cycles = col == 1 ? 5 : 6;
        add(0, static_cast<std::uint8_t>(kColumns[col].high + side * 0x40 + i), n, mode, cycles);
        // Page 2 repeats the indexed column by Y, one cycle longer; CPX there
        // is CPY, and LDX/STX are LDY/STY.
        if (col == 2) {
          std::string y = n == "cpx" ? "cpy" : n == "ldx" ? "ldy" : n == "stx" ? "sty" : n;
          add(0x18, static_cast<std::uint8_t>(0xA0 + side * 0x40 + i), y, Mode::IndY, cycles + 1);
        }
      }
    }
  }
  add(0, 0x8D, "bsr", Mode::Rel, 6);
  // Page 2: Y's own instructions and CPY, LDY, STY in the other modes.
  const std::pair<int, std::pair<const char*, int>> yInherent[] = {
      {0x08, {"iny", 4}},  {0x09, {"dey", 4}}, {0x30, {"tsy", 4}},  {0x35, {"tys", 4}},
      {0x38, {"puly", 6}}, {0x3A, {"aby", 4}}, {0x3C, {"pshy", 5}}, {0x8F, {"xgdy", 4}},
  };
  for (const auto& [op, nc] : yInherent)
    add(0x18, static_cast<std::uint8_t>(op), nc.first, Mode::Inh, nc.second);
  add(0x18, 0x1C, "bset", Mode::IndYBit, 8);
  add(0x18, 0x1D, "bclr", Mode::IndYBit, 8);
  add(0x18, 0x1E, "brset", Mode::IndYBr, 8);
  add(0x18, 0x1F, "brclr", Mode::IndYBr, 8);
  add(0x18, 0x8C, "cpy", Mode::Imm16, 5);
  add(0x18, 0x9C, "cpy", Mode::Dir, 6);
  add(0x18, 0xBC, "cpy", Mode::Ext, 7);
  add(0x18, 0xCE, "ldy", Mode::Imm16, 4);
  add(0x18, 0xDE, "ldy", Mode::Dir, 5);
  add(0x18, 0xFE, "ldy", Mode::Ext, 6);
  add(0x18, 0xDF, "sty", Mode::Dir, 5);
  add(0x18, 0xFF, "sty", Mode::Ext, 6);
  // Page 3 (CPD, and Y by X) and page 4 (X by Y, CPD by Y).
  add(0x1A, 0x83, "cpd", Mode::Imm16, 5);
  add(0x1A, 0x93, "cpd", Mode::Dir, 6);
  add(0x1A, 0xA3, "cpd", Mode::IndX, 7);
  add(0x1A, 0xB3, "cpd", Mode::Ext, 7);
  add(0x1A, 0xAC, "cpy", Mode::IndX, 7);
  add(0x1A, 0xEE, "ldy", Mode::IndX, 6);
  add(0x1A, 0xEF, "sty", Mode::IndX, 6);
  add(0xCD, 0xA3, "cpd", Mode::IndY, 7);
  add(0xCD, 0xAC, "cpx", Mode::IndY, 7);
  add(0xCD, 0xEE, "ldx", Mode::IndY, 6);
  add(0xCD, 0xEF, "stx", Mode::IndY, 6);
  // $18 $A3 is SUBD by Y and $18 $AC CPY by Y from the repeated column;
  // CPD by Y lives on page 4 only.
  return ops;
}

}  // namespace

const std::vector<Op>& Opcodes() {
  static const std::vector<Op> ops = Build();
  return ops;
}

}  // namespace hc11::test::ref
