// Where the window finds the bundled demo.
#pragma once

#include <string>

namespace hc11::gui {

// The base path of the demo firmware, in a folder the program may write to:
// Load rewrites its function list and saving writes its workspace, so an
// installed read-only copy is first copied to the user's data folder. Empty
// when no demo is found.
std::string DemoBase();

}  // namespace hc11::gui
