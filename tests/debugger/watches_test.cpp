// Watches: display lines in every format, the changed test, the writer and
// resolution by name.
#include "debugger/watches.h"

#include <gtest/gtest.h>

#include "listing/symbols.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

class WatchesTest : public ::testing::Test {
 protected:
  void Put(std::uint16_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) m.Memory[at++] = b;
  }
  TSurv Watch(std::uint8_t format, std::uint8_t elements, std::uint8_t bytesPer,
              std::uint16_t address = 0x40) {
    TSurv w;
    w.name = "v";
    w.WatchFormat = format;
    w.elements = elements;
    w.bytesPer = bytesPer;
    w.address = address;
    return w;
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Machine m{&hooks};
  Board board{m, messages};
  WatchList list{m, board};
};

TEST_F(WatchesTest, ValueTextInEveryFormat) {
  Put(0x40, {0x12, 0x34, 0x56, 0x78, 0x00, 0x42});
  struct Case {
    std::uint8_t format, elements, bytesPer;
    const char* line;
  };
  const Case cases[] = {
      {FmtBits, 5, 1, "I  v            40= 1 1 1 1 0"},
      {FmtHex, 1, 1, "I  v            40=   12"},
      {FmtHex, 2, 2, "I  v            40=     1234     5678"},
      {FmtHex, 1, 3, "I  v            40= 123456"},
      {FmtHex, 1, 4, "I  v            40= 12345678"},
      {FmtHex, 1, 5, "I  v            40="},
      {FmtDecimal, 2, 1, "I  v            40=  18  52"},
      {FmtDecimal, 1, 2, "I  v            40=   4660"},
      {FmtDecimal, 1, 3, "I  v            40=  1193046"},
      {FmtDecimal, 1, 4, "I  v            40= 305419896"},
      {FmtString, 3, 1, "I  v            40=\x12\x34V"},
  };
  for (const Case& c : cases) {
    list.Clear();
    list.Append(Watch(c.format, c.elements, c.bytesPer));
    EXPECT_EQ(list.Lines()[0], c.line) << int(c.format) << ' ' << int(c.elements) << 'x' << int(c.bytesPer);
  }
}

TEST_F(WatchesTest, SignedStringAndFloatEdgeCases) {
  Put(0x40, {0xFF, 0xFE});
  list.Append(Watch(FmtSigned, 1, 2));
  list.Append(Watch(FmtSigned, 1, 1));
  Put(0x50, {0x41, 0x00, 0x42});
  list.Append(Watch(FmtString, 3, 1, 0x50));
  // 6-byte real: exponent 129+1, fraction .5 -> 1.5 x 2 = 3; sign set -> -3.
  Put(0x60, {130, 0xC0, 0, 0, 0, 0});
  list.Append(Watch(FmtFloat, 1, 1, 0x60));
  list.Append(Watch(FmtFloat, 7, 1, 0x60));
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"I  v            40=  -2", "I  v            40= 255",
                                                    "I  v            50=A! 0!B", "I  v            60= -3.00",
                                                    "I  v            60= bloc > 41 octets"}));
  EXPECT_EQ(list.entries()[3].bytesPer, 6);
  EXPECT_DOUBLE_EQ(Real6ToDouble(std::array<std::uint8_t, 6>{129, 0, 0, 0, 0, 0}.data()), 1.0);
  EXPECT_DOUBLE_EQ(Real6ToDouble(std::array<std::uint8_t, 6>{0, 0xFF, 0, 0, 0, 0}.data()), 0.0);
}

TEST_F(WatchesTest, NewWatchAndTheChangedTest) {
  m.Memory[0] = 0xAB;
  list.New();
  EXPECT_EQ(list.Lines()[0], "I  nom           0=   ab");
  EXPECT_TRUE(list.Refresh(false).empty());
  m.Memory[0] = 0xAC;
  EXPECT_EQ(list.Refresh(false), std::vector<std::size_t>{0});
  EXPECT_EQ(list.Refresh(true), std::vector<std::size_t>{0});
  // Names are padded by characters: the address column stays in place.
  list.AddSymbol("été", 0, 'I');
  EXPECT_EQ(list.Lines()[1], "I  été           0=   ac");
  list.AddSymbol("nom_bien_trop_long", 0, 'I');
  EXPECT_EQ(list.Lines()[2], "I  nom_bien_trop_long    0=   ac");
}

TEST_F(WatchesTest, WriterStoresPerFormatAndRefusesBeyondTheEnd) {
  struct Case {
    std::uint8_t format, elements, bytesPer;
    const char* text;
    std::vector<std::uint8_t> expected;  // bytes at $40..
  };
  const Case cases[] = {
      {FmtBits, 3, 1, "1 0,1F", {0x01, 0x00, 0x1F}},
      {FmtHex, 2, 2, "1234 zz 5", {0x12, 0x34, 0x00, 0x00, 0x00, 0x05}},
      // Every byte of a 3- or 4-byte element, most significant first.
      {FmtHex, 1, 3, "123456", {0x12, 0x34, 0x56, 0x00}},
      {FmtHex, 2, 4, "12345678 9A", {0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x00, 0x9A}},
      {FmtDecimal, 1, 3, "1193046", {0x12, 0x34, 0x56}},
      {FmtDecimal, 1, 3, "-2", {0xFF, 0xFF, 0xFE}},
      {FmtDecimal, 2, 1, "10\t255", {10, 255}},
      {FmtString, 2, 1, "AB", {'A', 'B'}},
      {FmtSigned, 1, 1, "5", {0}},
      {FmtFloat, 1, 6, "1.5", {0}},
  };
  for (const Case& c : cases) {
    m.Memory.fill(0);
    TSurv w = Watch(c.format, c.elements, c.bytesPer);
    EXPECT_TRUE(list.WriteValue(w, c.text).empty());
    for (std::size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_EQ(m.Memory[0x40 + i], c.expected[i]) << c.text << " byte " << i;
  }
  m.Memory.fill(0);
  TSurv end = Watch(FmtHex, 2, 2, 0xFFFE);
  EXPECT_EQ(list.WriteValue(end, "1111 2222").size(), 1u);  // the second element would pass $FFFF
  EXPECT_EQ(m.Memory[0xFFFE], 0x11);
  EXPECT_EQ(m.Memory[0], 0);
  TSurv big = Watch(FmtHex, 21, 2);
  EXPECT_EQ(list.WriteValue(big, "1").size(), 1u);
  TSurv other = Watch(FmtHex, 1, 1);
  other.type = 'X';
  list.WriteValue(other, "55");
  EXPECT_EQ(m.Memory[0x40], 0);  // only 'C' and 'I' store
}

TEST_F(WatchesTest, ResolveByNameAndDialog) {
  SymbolTables symbols;
  AddSymbol(symbols.ListSymbI, Tsym{"compte", 0x0022}, nullptr);
  TSurv w = Watch(FmtHex, 1, 1, 0);
  w.name = "compte";
  list.AppendUnresolved(w);
  w.name = "absent";
  list.AppendUnresolved(w);
  EXPECT_EQ(list.Lines()[0], "xxx");
  list.ResolveByName(symbols);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"I  compte       22=    0", "Im absent        0=    0"}));

  WatchDialog d = list.FillDialog(0);
  EXPECT_EQ(d.address, "0022");
  d.value = "7F";
  d.valueModified = true;
  d.type = "Q";  // not a dialog letter: the type stays
  std::vector<std::string> messages;
  EXPECT_EQ(list.ApplyDialog(0, d, messages), "");
  EXPECT_EQ(m.Memory[0x22], 0x7F);
  EXPECT_EQ(list.entries()[0].type, 'I');
  // Only the value box writes memory: an edit of the initial value alone
  // leaves the bytes as they are, even when the shown text would not read
  // back the same (a string's zero marker).
  Put(0x50, {'A', 0, 'B'});
  TSurv text = Watch(FmtString, 3, 1, 0x50);
  list.Append(text);
  WatchDialog initialOnly = list.FillDialog(2);
  EXPECT_EQ(initialOnly.value, "A! 0!B");
  initialOnly.initial = "XY";
  initialOnly.initialModified = true;
  EXPECT_EQ(list.ApplyDialog(2, initialOnly, messages), "");
  EXPECT_EQ(std::vector<std::uint8_t>(m.Memory.begin() + 0x50, m.Memory.begin() + 0x53),
            (std::vector<std::uint8_t>{'A', 0, 'B'}));
  EXPECT_EQ(list.entries()[2].initial, "XY");

  d.address = "1FFFF";
  EXPECT_NE(list.ApplyDialog(0, d, messages), "");
  EXPECT_EQ(list.entries()[0].address, 0x22);
}

}  // namespace
}  // namespace hc11::test
