// "Aide": a page of every key the window answers to, made from the menu
// items' own shortcuts (so it never disagrees with them) and the keys of the
// panes, and a link to the documentation.
#pragma once

#include <string>
#include <vector>

namespace hc11 {

struct HelpKey {
  std::string key;      // as the menu shows it, "F9", "Ctrl+F2"
  std::string command;  // the menu and the item, "Executer / Exécuter"
};

// The keys of the panes themselves, which no menu item carries.
const std::vector<HelpKey>& PaneKeys();

// The page as HTML: the menu keys, the pane keys, then the link to
// `docsUrl` (none when empty). Texts are escaped.
std::string HelpPageHtml(const std::vector<HelpKey>& menuKeys, const std::string& docsUrl);

}  // namespace hc11
