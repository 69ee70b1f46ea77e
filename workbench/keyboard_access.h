// Reaching every part of the window from the keyboard: the order in which
// Tab and Shift+Tab visit the panes, and an Alt letter of its own for every
// menu of the menu bar.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace hc11 {

// The stop Tab (or Shift+Tab, `backward`) moves to from `current`, skipping
// the stops that cannot take the focus now (a hidden pane); from outside
// every stop, the first (or last) one that can. None when no stop can.
std::optional<std::size_t> NextFocusStop(const std::vector<bool>& available,
                                         std::optional<std::size_t> current, bool backward);

// The menu bar's captions with one distinct Alt letter each: a caption keeps
// its "&" letter while no caption before it took that letter, otherwise the
// first free ASCII letter of its text gets the "&". The visible text stays.
// A caption with no free letter is left without one.
std::vector<std::string> WithDistinctMnemonics(const std::vector<std::string>& captions);

// The letter that Alt plus a key chooses in `caption` (lower case), or 0.
char MnemonicOf(const std::string& caption);

}  // namespace hc11
