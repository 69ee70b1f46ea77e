// One opened program: its machine, its board, its listing, its breakpoint
// and watch lists and the settings, with the window-free half of the
// debugger's Load, Init and Save. The window and the CLI both drive a Session.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/breakpoints.h"
#include "debugger/session_hooks.h"
#include "debugger/settings_file.h"
#include "debugger/watches.h"
#include "listing/listing_types.h"
#include "reverse/time_travel.h"

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
  Messages& messages() { return messages_; }
  Board& board() { return *board_; }
  Listing& listing() { return listing_; }
  BreakpointList& breakpoints() { return *breaks_; }
  WatchList& watches() { return *watches_; }
  // Reverse execution; off until a front end switches it on. Init forgets the record.
  TimeTravel& timeTravel() { return *timeTravel_; }
  // The setting "MemoireRetour" (MiB, 1 to 65535; anything else keeps the
  // default of 256) becomes the record's budget.
  void ApplyReverseBudget();
  Settings& settings() { return settings_; }
  OptionMarks& options() { return settings_.marks; }
  const std::string& ListingBase() const { return listingBase_; }
  std::string WorkspaceFile() const { return listingBase_ + ".Zan"; }

  // Loads the program whose files are `listingBase` + ".lst" and ".HEX" (or
  // ".LST", ".hex" when only those exist): the listing (a missing one is
  // reported with "Manque fichier LST " + the base, an unreadable one with the
  // reason, and the load goes on), the "UHF" symbol for the synthesiser, the
  // code breakpoints cleared, then Init with the workspace restored.
  LoadReport Load(const std::string& listingBase);

  // Loads a code image with no listing and no workspace: the start address
  // stays as it is.
  LoadReport LoadImageOnly(const std::string& hexFile);

  // Both passes of Init: workspace, Options copied to the core, reset, code
  // image, timer vector, "PatchCode", watches' initial values and names, the
  // "CoefQuartz" setting; `restore` selects the second pass's ending. True
  // when the code image loaded completely.
  bool Init(bool restore);

  // The CLI reads no workspace (--no-workspace); the window always does.
  void SetUseWorkspace(bool use) { useWorkspace_ = use; }

  // Settings: read from and saved to `path` (empty: never saved).
  void ReadSettings(const std::string& path);
  const std::string& SettingsPath() const { return settingsPath_; }
  bool SaveSettings();
  // The workspace lists into `path`; keeps the original as ".Zan.bak" first
  // when that file failed to read.
  bool SaveWorkspace(const std::string& path);
  // "Save": the settings file, then the program's workspace.
  bool Save();

  // Reads the workspace into the lists (emptied first); false after a read
  // error, which is reported naming the file and byte offset.
  bool ReadWorkspace(bool report = true);

  // The base path of a program named by its listing, its image or its base.
  static std::string BaseOf(const std::string& programPath);

 private:
  void ApplyPatches(bool report);

  Messages& messages_;
  SessionHooks hooks_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<Board> board_;
  std::unique_ptr<BreakpointList> breaks_;
  std::unique_ptr<WatchList> watches_;
  std::unique_ptr<TimeTravel> timeTravel_;
  Listing listing_;
  Settings settings_;
  std::string settingsPath_;
  std::string listingBase_;
  bool useWorkspace_ = true;
  std::string unreadWorkspace_;  // a workspace that failed to read, kept before its next save
};

}  // namespace hc11
