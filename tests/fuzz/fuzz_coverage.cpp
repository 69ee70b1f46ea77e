// Arbitrary bytes as a program listing, read back by the coverage tracefile
// writer (code lines, function entries, branches) and the profile table:
// neither may crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "listing/listing_loader.h"
#include "profile/lcov_file.h"
#include "profile/profiler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const hc11::MemoryImage memory{};
  static hc11::Profiler profiler;
  hc11::Listing listing;
  std::uint16_t startPC = 0;
  hc11::SilentMessages messages;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  hc11::ParseListingText(listing, text, startPC, messages, true, &memory);
  profiler.MapListing(listing);

  std::vector<std::string> lines;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  (void)hc11::LcovTracefile("/fuzz.lst", lines, *listing.ListingMap, memory, profiler);
  (void)hc11::ProfileLines(profiler.Table(0));
  return 0;
}
