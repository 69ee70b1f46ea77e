#include "listing/symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/listing_loader.h"
#include "tests/listing/listing_text.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

using test::Join;
using test::Lst;
using Strings = std::vector<std::string>;

Strings Texts(const SymbolList& list) {
  Strings out;
  for (const auto& item : list) out.push_back(item.text);
  return out;
}

TEST(SymbolSection, ReadsNamesAndHexValuesSortedByText) {
  MemoryImage memory{};
  memory[0x1000] = 7;
  memory[0xE0F0] = 0xAB;
  Listing listing;
  std::uint16_t pc = 0;
  test::RecordingMessages messages;
  ParseListingText(
      listing,
      Join({Lst("E000", "", "1", "        org $E000"), Lst("E000", "39", "2", "main    ret"),
            "                    S Y M B O L   T A B L E", "PORTA    1000", "single", "BAD      12G4",
            "BIG      12345", "   UHF   e0f0   extra", std::string(60, 'z') + " E000", "alpha    0000"}),
      pc, messages, true, &memory);
  EXPECT_EQ(Texts(listing.Symbols.ListSymbI),
            (Strings{"alpha          0000 0000", "PORTA          1000 0007", "UHF            e0f0 00ab",
                     std::string(50, 'z') + "e000 0000"}));
  EXPECT_EQ(FindSymbol(listing.Symbols, "UHF", 'I'), 0xE0F0);
  EXPECT_EQ(FindSymbol(listing.Symbols, std::string(50, 'z'), 'I'), 0xE000);
  EXPECT_EQ(FindSymbol(listing.Symbols, std::string(60, 'z'), 'I'), std::nullopt);
  EXPECT_EQ(FindSymbol(listing.Symbols, "porta", 'I'), std::nullopt);  // exact case
  EXPECT_EQ(listing.LineList.size(), 1u);                              // the section is not code

  memory[0x1000] = 0x5A;  // texts follow memory only when remade
  EXPECT_EQ(listing.Symbols.ListSymbI[1].text, "PORTA          1000 0007");
  RefreshSymbolTexts(listing.Symbols.ListSymbI, &memory);
  EXPECT_EQ(listing.Symbols.ListSymbI[1].text, "PORTA          1000 005a");

  // Kept by a listing without a section, one that ends first, or when not asked for.
  const std::string noSection = Join({Lst("E000", "", "1", "        org $E000")});
  const std::string endFirst = Join({Lst("E000", "", "1", "        end"), "   S Y M B O L", "OTHER 0001"});
  ParseListingText(listing, noSection, pc, messages);
  ParseListingText(listing, endFirst, pc, messages);
  ParseListingText(listing, Join({"   S Y M B O L", "OTHER 0001"}), pc, messages, false);
  EXPECT_EQ(listing.Symbols.ListSymbI.size(), 4u);
  ParseListingText(listing, Join({"   S Y M B O L", "OTHER 0001"}), pc, messages);
  EXPECT_EQ(Texts(listing.Symbols.ListSymbI), (Strings{"OTHER          0001 0000"}));
}

TEST(SymbolLists, KindLettersChooseTheList) {
  SymbolTables tables;
  AddSymbol(tables.ListSymbC, Tsym{"counter", 0x40, 'C'}, nullptr);
  AddSymbol(tables.ListSymbX, Tsym{"ext", 0x50, 'X'}, nullptr);
  EXPECT_EQ(FindSymbol(tables, "counter", 'C'), 0x40);
  EXPECT_EQ(FindSymbol(tables, "counter", 'L'), 0x40);
  EXPECT_EQ(FindSymbol(tables, "counter", 'I'), std::nullopt);
  EXPECT_EQ(FindSymbol(tables, "counter", 'Z'), std::nullopt);
  ClearSymbolListsExceptI(tables);
  EXPECT_EQ(FindSymbol(tables, "ext", 'X'), std::nullopt);
}

TEST(FunctionOfAddress, PicksTheHighestLabelNotAbove) {
  const TLab labels = {{"l1", {"init", "E000"}},
                       {"l2", {"loop", "E010"}},
                       {"l3", {"main", "E010"}},
                       {"bad", {"nowhere", "XYZ"}},
                       {"l4", {"tail", "f000"}}};
  const std::pair<std::uint16_t, const char*> cases[] = {
      {0xDFFF, ""}, {0xE000, "init"}, {0xE00F, "init"}, {0xE010, "main"}, {0xEFFF, "main"}, {0xFFFF, "tail"}};
  for (const auto& [addr, function] : cases) EXPECT_EQ(FunctionOfAddress(labels, addr), function) << addr;
  EXPECT_EQ(FunctionOfAddress({{"z", {"reset", "0"}}}, 0x0000), "reset");
}

}  // namespace
}  // namespace hc11
