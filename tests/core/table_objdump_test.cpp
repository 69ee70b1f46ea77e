// Checks the instruction table against an independent disassembler: one
// instance of every row is encoded, disassembled by binutils' m68hc11
// objdump, and compared for mnemonic, length and operand form.
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
    const int decoded = *LookupRow(prefix, opcode);
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

}  // namespace
}  // namespace hc11::test
