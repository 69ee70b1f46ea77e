// Arbitrary bytes as a program listing: the loader, the symbol section and
// the look-ups that follow a load must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/messages.h"
#include "listing/listing_loader.h"
#include "listing/symbols.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const hc11::MemoryImage memory{};
  hc11::Listing listing;
  std::uint16_t startPC = 0;
  hc11::SilentMessages messages;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  hc11::ParseListingText(listing, text, startPC, messages, true, &memory);

  // The flowchart's label index, made from the records just read.
  for (const auto& record : listing.LineList)
    if (!record.Label.empty()) listing.LabelList.push_back({record.Label, {record.Label, record.AddrText}});
  (void)hc11::FunctionOfAddress(listing.LabelList, startPC);
  (void)hc11::FindSymbol(listing.Symbols, "UHF", 'I');
  hc11::RefreshSymbolTexts(listing.Symbols.ListSymbI, &memory);
  return 0;
}
