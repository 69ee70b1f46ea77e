// Instruction encodings of the fixture generator, one case per operand form
// of the table's rows, and the operands it must refuse.
#include "tools/lstgen/encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/decoder.h"
#include "core/instruction_table.h"

namespace hc11::lstgen {
namespace {

std::optional<std::int32_t> NoSymbols(std::string_view) {
  return std::nullopt;
}

Encoding EncodeAt(std::string_view mnemonic, std::string_view operand, std::int32_t address = 0xE000) {
  EncodeRequest req;
  req.mnemonic = mnemonic;
  req.operand = operand;
  req.address = address;
  req.final = true;
  return Encode(req, NoSymbols);
}

TEST(Encoder, OneCasePerOperandForm) {
  struct Case {
    const char* mnemonic;
    const char* operand;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      // mode index from the opcode bits 5-4: immediate, direct, indexed, extended
      {"ldA", "#$12", {0x86, 0x12}},
      {"ldA", "$10", {0x96, 0x10}},
      {"ldA", "$10,X", {0xA6, 0x10}},
      {"ldA", "$1234", {0xB6, 0x12, 0x34}},
      {"ldA", ">$10", {0xB6, 0x00, 0x10}},
      {"LDA", "<$10", {0x96, 0x10}},
      {"ldX", "#$1234", {0xCE, 0x12, 0x34}},
      {"andA", "#~$80", {0x84, 0x7F}},
      // prefix byte first
      {"ldY", "#$1000", {0x18, 0xCE, 0x10, 0x00}},
      {"ldY", "5,Y", {0x18, 0xEE, 0x05}},
      {"cmpD", "$1234", {0x1A, 0xB3, 0x12, 0x34}},
      {"incY", "", {0x18, 0x08}},
      // stores: no immediate slot; Y-indexed stores are rows of their own
      {"stA", "$10", {0x97, 0x10}},
      {"stA", "5,y", {0x18, 0xA7, 0x05}},
      {"stD", ",Y", {0x18, 0xED, 0x00}},
      {"stX", "$1234", {0xFF, 0x12, 0x34}},
      // calls and jumps
      {"call", "$10", {0x9D, 0x10}},
      {"call", "$E123", {0xBD, 0xE1, 0x23}},
      {"call", "$00,X", {0xAD, 0x00}},
      {"callr", "$E010", {0x8D, 0x0E}},
      {"jmp", "$E000", {0x7E, 0xE0, 0x00}},
      {"jr", "$E000", {0x20, 0xFE}},
      {"bne", "$E081", {0x26, 0x7F}},
      {"beq", "$DF82", {0x27, 0x80}},
      // two-form rows (indexed, extended): no direct slot
      {"clr", "$10", {0x7F, 0x00, 0x10}},
      {"clr", "3,X", {0x6F, 0x03}},
      {"inc", "5,Y", {0x18, 0x6C, 0x05}},
      {"inc", "$1234", {0x7C, 0x12, 0x34}},
      {"lsl", "$10,X", {0x68, 0x10}},
      // bit operations and bit branches
      {"bset", "$12,#$40", {0x14, 0x12, 0x40}},
      {"bclr", "3,Y,#1", {0x18, 0x1D, 0x03, 0x01}},
      {"brset", "$12,#$80,$E000", {0x12, 0x12, 0x80, 0xFC}},
      {"brclr", "$10,X,#$20,$E000", {0x1F, 0x10, 0x20, 0xFC}},
      {"brclr", "4,Y,#2,$E000", {0x18, 0x1F, 0x04, 0x02, 0xFB}},
      // inherent
      {"pushX", "", {0x3C}},
      {"ei", "", {0x0E}},
      {"xgDX", "", {0x8F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mnemonic) + " " + c.operand);
    const Encoding e = EncodeAt(c.mnemonic, c.operand);
    EXPECT_EQ(e.error, "");
    EXPECT_EQ(e.bytes, c.bytes);
  }
}

TEST(Encoder, RefusesOperandsTheTableHasNoSlotFor) {
  struct Case {
    const char* mnemonic;
    const char* operand;
    const char* error;
  };
  const Case cases[] = {
      {"stA", "#1", "does not take this operand"},
      {"jmp", "#1", "does not take this operand"},
      {"stY", "#1", "does not take this operand"},
      {"ret", "$10", "does not take this operand"},
      {"brset", "$10,#1", "does not take this operand"},
      {"clr", "<$10", "has no direct form"},
      {"bset", "$1234,#1", "direct address $1234 out of range"},
      {"ldA", "#$1FF", "value $1FF out of range"},
      {"ldA", "#-257", "value -257 out of range"},
      {"ldA", "256,X", "index offset $100 out of range"},
      {"jr", "$E082", "branch target too far"},
      {"bset", "$10,$40", "a bit mask is written #value"},
      {"ldA", "#", "missing value"},
      {"ldA", "$1G", "bad digit"},
      {"ldA", "undefined_name", "undefined symbol 'undefined_name'"},
      {"frob", "", "unknown instruction 'frob'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mnemonic) + " " + c.operand);
    EXPECT_NE(EncodeAt(c.mnemonic, c.operand).error.find(c.error), std::string::npos)
        << EncodeAt(c.mnemonic, c.operand).error;
  }
}

TEST(Encoder, SecondPassKeepsTheFirstPassSize) {
  EncodeRequest req;
  req.mnemonic = "ldA";
  req.operand = "$10";
  req.address = 0xE000;
  req.final = true;
  req.direct = false;  // the first pass did not know the address yet
  EXPECT_EQ(Encode(req, NoSymbols).bytes, (std::vector<std::uint8_t>{0xB6, 0x00, 0x10}));

  req.final = false;
  req.direct.reset();
  req.operand = "later";
  const Encoding firstPass = Encode(req, NoSymbols);
  EXPECT_EQ(firstPass.error, "");
  EXPECT_FALSE(firstPass.direct);
  EXPECT_EQ(firstPass.bytes.size(), 3u);
}

TEST(Encoder, ListingSpellingAndWarnings) {
  const Encoding e = EncodeAt("LDA", "  ,x");
  EXPECT_EQ(e.mnemonic, "ldA");
  EXPECT_EQ(e.operand, "$00,X");
  EXPECT_EQ(e.warning, "");
  EXPECT_NE(EncodeAt("negA", "").warning.find("refuses"), std::string::npos);
}

// Every form of every row added for the chip's remaining opcodes assembles
// to the bytes the decoder takes back to the same row, with its length.
TEST(Encoder, EveryChipRowFormRoundTripsThroughTheDecoder) {
  int forms = 0;
  for (int i = kDesignedRowCount; i < kInstructionRows; ++i) {
    const Tinstx& row = InstructionTable[static_cast<std::size_t>(i)];
    const std::size_t alts = row.mask == 0 ? 1 : static_cast<std::size_t>(row.mask >> 4) + 1;
    for (std::size_t alt = 0; alt < alts; ++alt) {
      if (!ChipHasSlot(row, alt)) continue;
      const OperandKind kind = KindFor(row, alt);
      std::string operand;
      switch (kind) {
        case OperandKind::Imm8:
          operand = "#$12";
          break;
        case OperandKind::Imm16:
          operand = "#$1234";
          break;
        case OperandKind::Direct:
          operand = "<$10";
          break;
        case OperandKind::Extended:
          operand = ">$1234";
          break;
        case OperandKind::IndexX:
          operand = "$05,X";
          break;
        case OperandKind::IndexY:
          operand = "$05,Y";
          break;
        case OperandKind::Relative:
          operand = "$E010";
          break;
        default:
          break;
      }
      SCOPED_TRACE(std::string(row.mnemonic) + " " + operand);
      const Encoding e = EncodeAt(row.mnemonic, operand);
      ASSERT_TRUE(e.error.empty()) << e.error;
      ASSERT_FALSE(e.bytes.empty());
      const bool prefixed = Decoder().prefixSlot[e.bytes[0]] != 0;
      const std::uint8_t prefix = prefixed ? e.bytes[0] : 0;
      const std::uint8_t opcode = e.bytes[prefixed ? 1 : 0];
      std::size_t slot = 0;
      while (kPrefixes[slot] != prefix) ++slot;
      const DecodeEntry& d = ExactDecoder().entries[slot][opcode];
      ASSERT_NE(d.info, nullptr);
      EXPECT_EQ(d.info->index, i);
      EXPECT_EQ(d.kind, kind);
      const std::size_t operandBytes = kind == OperandKind::Imm16 || kind == OperandKind::Extended ? 2
                                       : kind == OperandKind::None                                 ? 0
                                                                                                   : 1;
      EXPECT_EQ(e.bytes.size(), (prefixed ? 2u : 1u) + operandBytes);
      ++forms;
    }
  }
  EXPECT_GT(forms, 80);
}

}  // namespace
}  // namespace hc11::lstgen
