// One opened program: its machine, its board and its listing, and the
// window-free half of the debugger's Load: read the listing, hand the "UHF"
// symbol to the synthesiser, clear the code breakpoints, load the code image
// and reset twice. The window and the CLI both drive a Session.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/ui_hooks.h"
#include "listing/listing_types.h"

namespace hc11 {

struct LoadReport {
  bool listingRead = false;       // the ".lst" file was read
  bool imageComplete = false;     // the ".HEX" file loaded without a failure
  bool startFromListing = false;  // "debprog_" gave the start address
};

class Session {
 public:
  // `hooks` and `messages` must outlive the session.
  Session(UiHooks& hooks, Messages& messages);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Machine& machine() { return *machine_; }
  Board& board() { return *board_; }
  Listing& listing() { return listing_; }
  const std::string& ListingBase() const { return listingBase_; }

  // Loads the program whose files are `listingBase` + ".lst" and ".HEX" (or
  // ".LST", ".hex" when only those exist). A missing listing is reported
  // ("Manque fichier LST " + the base; an unreadable one with the reason) and
  // the load goes on with the code image alone.
  LoadReport Load(const std::string& listingBase);

  // Loads a code image with no listing: the start address stays as it is.
  LoadReport LoadImageOnly(const std::string& hexFile);

  // The base path of a program named by its listing, its image or its base.
  static std::string BaseOf(const std::string& programPath);

 private:
  Messages& messages_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<Board> board_;
  Listing listing_;
  std::string listingBase_;
};

}  // namespace hc11
