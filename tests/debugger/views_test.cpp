// What the stack view, the register prompt, the dump window and the
// navigation helpers show.
#include "debugger/views.h"

#include <gtest/gtest.h>

#include "debugger/navigation.h"
#include "debugger/symbol_panel.h"
#include "listing/symbols.h"

namespace hc11::test {
namespace {

TEST(StackView, DataBytesReturnAddressesAndUnknownCallers) {
  Machine m;
  Listing listing;
  listing.LabelList.push_back({"main", {"main", "1000"}});
  listing.LineList.push_back(TSynElem{});
  listing.LineList.back().AddrText = "1003";
  listing.LineList.back().Text = "A = 1";
  m.StackTop = 0x00FF;
  m.cpu.SP = 0x00FF;
  EXPECT_TRUE(StackLines(m, listing).empty());
  m.Push8(0x42, TagData);
  m.Push16(0x1003, TagReturnAddress);
  m.Push16(0x0800, TagReturnAddress);  // below every label: no function
  EXPECT_EQ(StackLines(m, listing),
            (std::vector<std::string>{"      00ff [42] ", "1003 00fc main A = 1", "err fonct"}));
  std::vector<std::string> lines;
  EXPECT_TRUE(RebuildStackView(m, listing, lines));
  EXPECT_EQ(lines.size(), 3u);
  EXPECT_FALSE(RebuildStackView(m, listing, lines));  // nothing changed since
}

TEST(RegisterPrompt, TextDefaultAndAnswers) {
  Machine m;
  m.cpu.A = 18;
  m.cpu.PC = 0xE000;
  EXPECT_EQ(RegisterPromptText(m, "A"), "A=$12=18");
  EXPECT_EQ(RegisterPromptDefault(m, "PC"), "E000");
  EXPECT_EQ(RegisterPromptText(m, "Q"), "");
}

TEST(DumpWindow, RamEepromAndTheEndOfMemory) {
  std::array<std::uint8_t, 65536> ram{};
  ram[0x41] = 0x41;
  ram[0x42] = 0xFF;
  ram[0x43] = 0xE9;  // Latin-1, shown as valid UTF-8
  ram[0x44] = 0x85;  // a C1 control character
  std::vector<std::string> lines = DumpLines(0x40, 0, ram, nullptr, 0);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0],
            "0040   00 41 FF E9 85 00 00 00 00 00 00 00 00 00 00 00 . A  \u00e9 . . . . . . . . . . . .");
  EXPECT_EQ(lines[15].substr(0, 6), "0130  ");
  EXPECT_EQ(DumpLines(0xFFF8, 0, ram, nullptr, 0).size(), 1u);
  const std::array<std::uint8_t, 2048> eeprom{};
  lines = DumpLines(0x7F0, 1, ram, eeprom.data(), eeprom.size());
  EXPECT_EQ(lines[0].size(), 6u + 16 * 3 + 16 * 2);
  EXPECT_EQ(lines[1], "0800  ");
  EXPECT_EQ(lines[15], "0800  ");
  EXPECT_EQ(DumpLines(0, 2, ram, nullptr, 0)[3], "0000  ");  // "Horloge" reads nothing
}

TEST(Navigation, RowsHintAndPopup) {
  Listing listing;
  auto line = [&](const char* label, const char* addr, const char* text, bool done) {
    TSynElem e;
    e.Label = label;
    e.AddrText = addr;
    e.Text = text;
    e.Marks.Traite = done;
    listing.LineList.push_back(e);
  };
  line("orphan", "D000", "A = 1", false);  // its label is in no function
  line("main", "E000", "A = [cpt]", true);
  line("", "E002", "weird", false);
  listing.LabelList.push_back({"main", {"main", "E000"}});
  EXPECT_EQ(SearchRows(listing, "A =").size(), 1u);
  const std::vector<ListRow> errors = NotInterpretedRows(listing);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].instruction, kNotInterpretedHeader);
  EXPECT_EQ(errors[1].instruction, "Erreur = E002 weird");
  EXPECT_EQ(errors[1].function, "main");
  // After Load both lists show, the instructions not interpreted first.
  listing.FunctionList.entries["main"].Adresse = 0xE000;
  std::vector<std::string> loaded;
  for (const ListRow& r : LoadRows(listing)) loaded.push_back(r.instruction);
  EXPECT_EQ(loaded, (std::vector<std::string>{kNotInterpretedHeader, "Erreur = E002 weird", kFunctionsHeader,
                                              "main"}));

  Machine m;
  m.cpu.A = 0x12;
  SymbolTables symbols;
  AddSymbol(symbols.ListSymbI, Tsym{"cpt", 0x0010}, nullptr);
  m.Memory[0x10] = 0x7F;
  std::optional<HoverSymbol> hover;
  EXPECT_EQ(ValueHint(m, symbols, "E000", "A = X:cpt", hover),
            "E000 A = X:cpt : A=$12=18; cpt [0010]=$7f=127");
  ASSERT_TRUE(hover);
  EXPECT_EQ(hover->address, 0x10);

  FlowPopup p = BuildFlowPopup("", true, std::pair<std::string, std::string>{"E000", "A = 1"}, hover);
  EXPECT_EQ(p.lien.caption, "Lien");
  EXPECT_FALSE(p.lien.enabled);
  EXPECT_EQ(p.continuer.caption, "Continuer jusqu'a E000  \"A = 1 \"");
  EXPECT_EQ(p.surveiller.caption, "Surveiller \"cpt \"");
  EXPECT_EQ(QuotedWord(p.surveiller.caption), "cpt");
  p = BuildFlowPopup("affiche", true, std::nullopt, std::nullopt);
  EXPECT_TRUE(p.lien.enabled);
  EXPECT_FALSE(p.chercher.enabled);
  EXPECT_EQ(p.tracer.caption, "Tracer R");
}

// Operands with an offset stand for the byte they name; a register or a
// variable named twice in a line is shown once.
TEST(Navigation, ValueHintOffsetsAndRepeats) {
  struct Case {
    const char* text;
    const char* pieces;
    const char* hoverName;
    std::uint16_t hoverAddress;
  };
  const Case cases[] = {
      {"A = adval+5", "A=$02=2; adval+5 [001e]=$ff=255", "adval+5", 0x1E},
      {"A = adval+$A", "A=$02=2; adval+$A [0023]=$33=51", "adval+$A", 0x23},
      {"A = adval-1", "A=$02=2; adval-1 [0018]=$11=17", "adval-1", 0x18},
      {"A = adval", "A=$02=2; adval [0019]=$22=34", "adval", 0x19},
      {"A = adval+X", "A=$02=2; adval [0019]=$22=34; X=$1000=4096", "adval", 0x19},
      {"B = B + $02", "B=$02=2", nullptr, 0},
      {"adval = adval + 1", "adval [0019]=$22=34", "adval", 0x19},
      {"adval+1,1 = D", "adval+1 [001a]=$00=0", "adval+1", 0x1A},
  };
  for (const Case& c : cases) {
    Machine m;
    m.cpu.A = 2;
    m.cpu.B = 2;
    m.cpu.X = 0x1000;
    m.Memory[0x18] = 0x11;
    m.Memory[0x19] = 0x22;
    m.Memory[0x1E] = 0xFF;
    m.Memory[0x23] = 0x33;
    SymbolTables symbols;
    AddSymbol(symbols.ListSymbI, Tsym{"adval", 0x0019}, nullptr);
    std::optional<HoverSymbol> hover;
    EXPECT_EQ(ValueHint(m, symbols, "E000", c.text, hover), std::string("E000 ") + c.text + " : " + c.pieces)
        << c.text;
    if (c.hoverName == nullptr) {
      EXPECT_FALSE(hover) << c.text;
      continue;
    }
    ASSERT_TRUE(hover) << c.text;
    EXPECT_EQ(hover->name, c.hoverName);
    EXPECT_EQ(hover->address, c.hoverAddress) << c.text;
  }
}

TEST(SymbolPanel, ChooserShowsCOrIAndLabelClickRefreshesI) {
  SymbolTables symbols;
  MemoryImage memory{};
  memory[0x10] = 0x07;
  AddSymbol(symbols.ListSymbI, Tsym{"cpt", 0x0010}, &memory);
  AddSymbol(symbols.ListSymbC, Tsym{"k", 0x0020, 'C'}, &memory);
  EXPECT_EQ(ShownSymbolList(symbols, "C"), &symbols.ListSymbC);
  EXPECT_EQ(ShownSymbolList(symbols, "I"), &symbols.ListSymbI);
  EXPECT_EQ(ShownSymbolList(symbols, "S"), nullptr);

  // The texts keep the byte of when they were made until a label click.
  memory[0x10] = 0xA5;
  memory[0x20] = 0x33;
  EXPECT_EQ(symbols.ListSymbI[0].text, "cpt            0010 0007");
  LabelListClicked(symbols, memory);
  EXPECT_EQ(symbols.ListSymbI[0].text, "cpt            0010 00a5");
  EXPECT_EQ(symbols.ListSymbC[0].text, "k              0020 0000");
}

}  // namespace
}  // namespace hc11::test
