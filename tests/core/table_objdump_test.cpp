// Checks the instruction table against an independent disassembler: one
// instance of every row, and then every opcode of the four pages, is
// disassembled by binutils' m68hc11 objdump and compared for mnemonic,
// length and operand form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/decoder.h"
#include "core/instruction_table.h"
#include "tests/support/motorola_mnemonics.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

// Rows that an earlier row hides: their bytes decode as the earlier row.
constexpr int kShadowed[] = {17, 90};

struct Encoded {
  int row;
  std::size_t offset;
  std::vector<std::uint8_t> bytes;
  OperandKind kind;
  int branchTarget = -1;  // file offset of a relative target
};

Encoded Encode(int rowIndex, std::size_t offset) {
  const Tinstx& row = InstructionTable[rowIndex];
  Encoded e{rowIndex, offset, {}, OperandKind::None};
  std::uint8_t opcode = row.base;
  if (row.mask != 0) {
    // The first addressing mode the row accepts.
    for (std::size_t k = 0; k < row.pattern.size(); ++k) {
      if (row.pattern[k] != '.') {
        opcode = static_cast<std::uint8_t>(row.base | (k << 4));
        break;
      }
    }
  }
  if (row.prefix != 0) e.bytes.push_back(row.prefix);
  e.bytes.push_back(opcode);
  e.kind = LookupOperandKind(row.prefix, opcode);
  using K = OperandKind;
  // Operand bytes of each layout before any relative offset; their values do
  // not matter (1 fits every mask, and every 8-bit or 16-bit operand).
  static const std::map<K, int> kOperandBytes = {
      {K::Imm8, 1},       {K::Imm16, 2},         {K::Extended, 2},      {K::Direct, 1},
      {K::IndexX, 1},     {K::IndexY, 1},        {K::DirectMask, 2},    {K::IndexXMask, 2},
      {K::IndexYMask, 2}, {K::DirectMaskRel, 2}, {K::IndexXMaskRel, 2}, {K::IndexYMaskRel, 2},
  };
  if (const auto it = kOperandBytes.find(e.kind); it != kOperandBytes.end())
    e.bytes.resize(e.bytes.size() + it->second, 0x01);
  if (e.kind == K::Relative || e.kind == K::DirectMaskRel || e.kind == K::IndexXMaskRel ||
      e.kind == K::IndexYMaskRel) {
    e.bytes.push_back(0x10);
    e.branchTarget = static_cast<int>(offset + e.bytes.size() + 0x10);
  }
  return e;
}

struct Disassembled {
  std::size_t length = 0;
  std::string mnemonic, operands;
};

// Instructions by start offset. objdump prints at most four bytes per line
// and continues longer instructions on a line of their own, so a length is
// the distance to the next instruction.
std::map<std::size_t, Disassembled> Disassemble(const std::string& objdump, const fs::path& bin,
                                                std::size_t imageSize) {
  std::map<std::size_t, Disassembled> out;
  const std::string cmd = objdump + " -D -b binary -m m68hc11 '" + bin.string() + "' 2>/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return out;
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
    // "   c:\t1a b3 12 34 \tcpd\t0x1234"
    std::string line(buf);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    const auto colon = line.find(":\t");
    std::size_t address;
    if (colon == std::string::npos || std::sscanf(line.c_str(), " %zx:", &address) != 1) continue;
    std::vector<std::string> fields;
    std::stringstream ss(line.substr(colon + 2));
    for (std::string f; std::getline(ss, f, '\t');) fields.push_back(f);
    if (fields.size() < 2) continue;  // continuation bytes
    Disassembled d;
    d.mnemonic = fields[1];
    while (!d.mnemonic.empty() && d.mnemonic.back() == ' ') d.mnemonic.pop_back();
    if (fields.size() > 2) d.operands = fields[2];
    out[address] = d;
  }
  pclose(pipe);
  for (auto it = out.begin(); it != out.end(); ++it) {
    const auto next = std::next(it);
    it->second.length = (next == out.end() ? imageSize : next->first) - it->first;
  }
  return out;
}

std::string FindObjdump() {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/opt/local/bin"}) {
    const fs::path p = fs::path(dir) / "m68hc11-objdump";
    if (fs::exists(p)) return p.string();
  }
  return {};
}

bool OperandFormMatches(OperandKind kind, const std::string& ops) {
  auto has = [&](const char* s) { return ops.find(s) != std::string::npos; };
  switch (kind) {
    case OperandKind::None:
      return ops.empty();
    case OperandKind::Imm8:
    case OperandKind::Imm16:
      return ops.rfind("#", 0) == 0;
    case OperandKind::Direct:
      return ops.rfind("*", 0) == 0;
    case OperandKind::Extended:
    case OperandKind::Relative:
      return ops.rfind("0x", 0) == 0 && !has(",");
    case OperandKind::IndexX:
      return has(",x") && !has("#");
    case OperandKind::IndexY:
      return has(",y") && !has("#");
    case OperandKind::DirectMask:
    case OperandKind::DirectMaskRel:
      return ops.rfind("*", 0) == 0 && has("#");
    case OperandKind::IndexXMask:
    case OperandKind::IndexXMaskRel:
      return has(",x,") && has("#");
    case OperandKind::IndexYMask:
    case OperandKind::IndexYMaskRel:
      return has(",y,") && has("#");
    default:
      return false;
  }
}

TEST(InstructionTableVsObjdump, EveryRowDisassemblesAsTheSameInstruction) {
  const std::string objdump = FindObjdump();
  if (objdump.empty()) GTEST_SKIP() << "m68hc11-objdump (Debian package binutils-m68hc1x) is not installed";

  std::vector<Encoded> rows;
  std::vector<std::uint8_t> image;
  for (int i = 0; i < kInstructionRows; ++i) {
    rows.push_back(Encode(i, image.size()));
    image.insert(image.end(), rows.back().bytes.begin(), rows.back().bytes.end());
  }
  const fs::path dir = fs::path(::testing::TempDir()) / "hc11_objdump_check";
  fs::create_directories(dir);
  const fs::path bin = dir / "rows.bin";
  std::ofstream(bin, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  const auto listing = Disassemble(objdump, bin, image.size());
  fs::remove_all(dir);
  ASSERT_FALSE(listing.empty()) << "objdump produced no output";

  for (const Encoded& e : rows) {
    const Tinstx& row = InstructionTable[e.row];
    SCOPED_TRACE(testing::Message() << "row " << e.row << " " << row.mnemonic);
    const auto it = listing.find(e.offset);
    ASSERT_NE(it, listing.end()) << "objdump lost step before this row";
    const Disassembled& d = it->second;
    EXPECT_EQ(d.length, e.bytes.size()) << d.mnemonic << " " << d.operands;
    const std::string mapped = TableMnemonicOf(d.mnemonic);
    ASSERT_FALSE(mapped.empty()) << "no mapping for objdump's " << d.mnemonic;

    const std::uint8_t prefix = row.prefix;
    const std::uint8_t opcode = e.bytes[prefix != 0 ? 1 : 0];
    // The exact mode's decoding: the designed one also gives STOP's opcode to
    // the refused immediate slot of "stX".
    std::size_t slot = 0;
    while (kPrefixes[slot] != prefix) ++slot;
    const int decoded = ExactDecoder().entries[slot][opcode].info->index;
    const bool shadowed = std::find(std::begin(kShadowed), std::end(kShadowed), e.row) != std::end(kShadowed);
    EXPECT_EQ(decoded != e.row, shadowed);
    EXPECT_EQ(mapped, InstructionTable[decoded].mnemonic) << "objdump: " << d.mnemonic;
    EXPECT_TRUE(OperandFormMatches(e.kind, d.operands)) << "operands: " << d.operands;
    if (e.branchTarget >= 0) {
      const auto pos = d.operands.rfind("0x");
      ASSERT_NE(pos, std::string::npos);
      EXPECT_EQ(std::stoul(d.operands.substr(pos + 2), nullptr, 16),
                static_cast<unsigned long>(e.branchTarget));
    }
  }
}

// The bytes an operand layout takes after the opcode.
std::size_t OperandLength(OperandKind kind) {
  using K = OperandKind;
  switch (kind) {
    case K::Imm8:
    case K::Direct:
    case K::IndexX:
    case K::IndexY:
    case K::Relative:
    case K::Mask:
      return 1;
    case K::Imm16:
    case K::Extended:
    case K::DirectMask:
    case K::IndexXMask:
    case K::IndexYMask:
      return 2;
    case K::DirectMaskRel:
    case K::IndexXMaskRel:
    case K::IndexYMaskRel:
      return 3;
    default:
      return 0;
  }
}

// Every (prefix, opcode) pair, each in its own 8-byte slot padded with NOPs so
// that objdump finds the next slot whatever it made of this one: the exact
// mode's table has a row for exactly the opcodes objdump decodes (308 of
// them, TEST included), with the same mnemonic, length and operand form, and
// the designed table decodes every one of them too.
TEST(InstructionTableVsObjdump, EveryOpcodeOfTheFourPagesDecodesAsTheChipDoes) {
  const std::string objdump = FindObjdump();
  if (objdump.empty()) GTEST_SKIP() << "m68hc11-objdump (Debian package binutils-m68hc1x) is not installed";
  constexpr std::size_t kSlot = 8;
  struct Probe {
    std::uint8_t prefix, opcode;
  };
  std::vector<Probe> probes;
  std::vector<std::uint8_t> image;
  for (std::uint8_t prefix : kPrefixes) {
    for (int op = 0; op < 256; ++op) {
      if (prefix == 0 && Decoder().prefixSlot[op] != 0) continue;
      probes.push_back({prefix, static_cast<std::uint8_t>(op)});
      std::vector<std::uint8_t> slot(kSlot, 0x01);
      std::size_t at = 0;
      if (prefix != 0) slot[at++] = prefix;
      slot[at] = static_cast<std::uint8_t>(op);
      image.insert(image.end(), slot.begin(), slot.end());
    }
  }
  const fs::path dir = fs::path(::testing::TempDir()) / "hc11_objdump_pages";
  fs::create_directories(dir);
  const fs::path bin = dir / "pages.bin";
  std::ofstream(bin, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  const auto listing = Disassemble(objdump, bin, image.size());
  fs::remove_all(dir);
  ASSERT_FALSE(listing.empty()) << "objdump produced no output";

  const DecodeTable& exact = ExactDecoder();
  int instructions = 0;
  for (std::size_t i = 0; i < probes.size(); ++i) {
    const Probe& p = probes[i];
    SCOPED_TRACE(testing::Message() << std::hex << "prefix " << int{p.prefix} << " opcode " << int{p.opcode});
    const auto it = listing.find(i * kSlot);
    ASSERT_NE(it, listing.end());
    const Disassembled& d = it->second;
    const bool chipHasIt = d.mnemonic != ".byte";
    std::size_t slot = 0;
    while (kPrefixes[slot] != p.prefix) ++slot;
    const DecodeEntry& e = exact.entries[slot][p.opcode];
    ASSERT_EQ(e.info != nullptr, chipHasIt) << d.mnemonic;
    if (!chipHasIt) continue;
    ++instructions;
    ASSERT_NE(e.exec, nullptr) << "the exact mode refuses an instruction of the chip";
    const Tinstx& row = InstructionTable[e.info->index];
    EXPECT_EQ(TableMnemonicOf(d.mnemonic), row.mnemonic == "ei" ? "cli" : std::string(row.mnemonic));
    EXPECT_EQ(d.length, (p.prefix != 0 ? 2u : 1u) + OperandLength(e.kind)) << d.mnemonic << " " << d.operands;
    EXPECT_TRUE(OperandFormMatches(e.kind, d.operands)) << d.mnemonic << " " << d.operands;
    EXPECT_TRUE(Decoder().entries[slot][p.opcode].info != nullptr) << "the designed table lost it";
  }
  EXPECT_EQ(instructions, 308);
}

}  // namespace
}  // namespace hc11::test
