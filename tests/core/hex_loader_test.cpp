#include "core/hex_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/recording.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class HexLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("hc11_hex_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::string& text) {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }

  fs::path dir;
  RecordingMessages messages;
  Machine m;
};

TEST_F(HexLoaderTest, AcceptedVariants) {
  struct Case {
    const char* name;
    std::string text;
    std::uint16_t codeEnd;
    std::uint16_t probe;
    std::uint8_t value;
  };
  const std::string data40 = ":28E00000" + std::string(80, '7') + "00\n";
  const std::vector<Case> cases = {
      {"CR LF line ends", ":02E00000860197\r\n:00000001FF\r\n", 0xE002, 0xE001, 0x01},
      {"vectors reach the last address", ":04FFFC00E000E0004C\n:00000001FF\n", 0xFFFF, 0xFFFF, 0x00},
      {"a record after the one ending at the last address",
       ":04FFFC00E000E0004C\n:01E0000042DD\n:00000001FF\n", 0xFFFF, 0xE000, 0x42},
      {"comment lines are skipped", "; built by hand\n:01E0000042DD\n:00000001FF\n", 0xE001, 0xE000, 0x42},
      {"type 04 at address 0000 stores at 0", ":020000040102F7\n:00000001FF\n", 0x0002, 0x0001, 0x02},
      {"lower-case digits", ":01e00000abff\n:00000001ff\n", 0xE001, 0xE000, 0xAB},
      {"40 data bytes still fit in 90 characters", data40 + ":00000001FF\n", 0xE028, 0xE027, 0x77},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Machine fresh;
    EXPECT_TRUE(LoadHexImage(fresh, Write("v.HEX", c.text), messages));
    EXPECT_EQ(fresh.CodeEnd, c.codeEnd);
    EXPECT_EQ(fresh.Memory[c.probe], c.value);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(HexLoaderTest, BrokenFilesKeepWhatLoadedAndSayWhereTheyBroke) {
  struct Case {
    const char* name;
    std::string text;
    std::string where;  // expected in the message
  };
  const std::string data41 = ":29E10000" + std::string(82, '7') + "00\n";
  const std::vector<Case> cases = {
      {"blank line", ":01E0000042DD\n\n:00000001FF\n", "ligne 2 : ligne vide"},
      {"no end record", ":01E0000042DD\n", "ligne 2 : fin du fichier"},
      {"bad count", ":01E0000042DD\n:G1E0010042DD\n", "ligne 2 : champ nombre d'octets illisible"},
      {"bad address", ":01E0000042DD\n:01E0Z00042DD\n", "ligne 2 : champ adresse illisible"},
      {"bad data byte", ":01E0000042DD\n:02E00100Q1DD\n", "ligne 2 : octet 1 illisible"},
      {"short line", ":01E0000042DD\n:02E0010042\n", "ligne 2 : octet 2 illisible"},
      {"non-data record with an address", ":01E0000042DD\n:02E0100401029F\n",
       "ligne 2 : enregistrement de type 04"},
      {"record longer than 90 characters", ":01E0000042DD\n" + data41, "ligne 2 : octet 41 illisible"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingMessages said;
    Machine fresh;
    fresh.CodeEnd = 0x1234;
    const auto file = Write("broken.HEX", c.text);
    EXPECT_FALSE(LoadHexImage(fresh, file, said));
    EXPECT_EQ(fresh.Memory[0xE000], 0x42);  // earlier records stay
    EXPECT_EQ(fresh.CodeEnd, 0x1234);
    ASSERT_EQ(said.shown.size(), 1u);
    EXPECT_EQ(said.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(said.shown[0].caption, "Erreur");
    EXPECT_NE(said.shown[0].text.find(file), std::string::npos) << said.shown[0].text;
    EXPECT_NE(said.shown[0].text.find(c.where), std::string::npos) << said.shown[0].text;
  }
}

TEST_F(HexLoaderTest, MissingFileIsReportedAndChangesNothing) {
  m.CodeEnd = 0x1234;
  EXPECT_FALSE(LoadHexImage(m, (dir / "absent.HEX").string(), messages));
  EXPECT_EQ(m.CodeEnd, 0x1234);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("absent.HEX : fichier introuvable"), std::string::npos);
}

TEST_F(HexLoaderTest, ProgramLoadResetsAroundTheImage) {
  // Code at $E000, a byte in internal RAM, the timer vector at $FFE8.
  const auto file = Write("prog.HEX", ":02E000004C39F8\n:010010007778\n:02FFE800E0001F\n:00000001FF\n");
  m.StartPC = 0xE000;
  m.RunMode = u'x';
  m.StepOverArmed = true;
  m.WriteTagTable[0x0010].tag = TagReturnAddress;
  EXPECT_TRUE(LoadProgramImage(m, file, messages));
  EXPECT_EQ(m.TimerVector, 0xE000);
  EXPECT_EQ(m.Memory[0x0010], 0x00);  // the second reset clears internal RAM
  EXPECT_EQ(m.Memory[0xE000], 0x4C);
  EXPECT_EQ(m.CodeEnd, 0xFFEA);
  EXPECT_EQ(m.cpu.PC, 0xE000);
  EXPECT_EQ(m.RunMode, u'q');
  EXPECT_FALSE(m.StepOverArmed);
  EXPECT_EQ(m.WriteTagTable[0x0010].tag, TagData);
  EXPECT_EQ(m.WriteTagTable[0xE000].tag, TagForbidden);
}

TEST_F(HexLoaderTest, BinaryImageReplacesTheExtension) {
  std::ofstream(dir / "eeprom.bin", std::ios::binary) << std::string("\x01\x02\x03\x04", 4);
  std::array<std::uint8_t, 4> buf{};
  EXPECT_TRUE(LoadBinaryImage((dir / "eeprom.HEX").string(), buf, messages));
  EXPECT_EQ(buf, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));

  std::array<std::uint8_t, 6> longer{9, 9, 9, 9, 9, 9};
  EXPECT_FALSE(LoadBinaryImage((dir / "eeprom").string(), longer, messages));
  EXPECT_EQ(longer, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 9, 9}));
  EXPECT_FALSE(LoadBinaryImage((dir / "none.x").string(), longer, messages));
  EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
}  // namespace hc11::test
