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
#include "core/message_text.h"
#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/breakpoints.h"
#include "debugger/session_hooks.h"
#include "debugger/settings_file.h"
#include "debugger/watches.h"
#include "listing/listing_types.h"
#include "profile/profiler.h"
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
  // Every message of the session goes through here; Load, Init and Save
  // show theirs as one message each.
  MessageRelay& messages() { return relay_; }
  Board& board() { return *board_; }
  Listing& listing() { return listing_; }
  BreakpointList& breakpoints() { return *breaks_; }
  WatchList& watches() { return *watches_; }
  // Reverse execution; off until a front end switches it on. Init forgets the record.
  TimeTravel& timeTravel() { return *timeTravel_; }
  // The setting "MemoireRetour" (MiB, 1 to 65535; anything else keeps the
  // default of 256) becomes the record's budget.
  void ApplyReverseBudget();
  // The setting "Pile basse" becomes the machine's low-stack warning address
  // (a value that is no address warns never).
  void ApplyStackWarning();
  Settings& settings() { return settings_; }
  OptionMarks& options() { return settings_.marks; }
  // Coverage and profile counts: function ranges set at Load, cleared at Init.
  Profiler& profiler() { return profiler_; }
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

  // A digest of the code image the last load read (its records' addresses
  // and bytes): a state file belongs to the program with the same one.
  std::uint64_t CodeImageDigest() const { return codeDigest_; }

  // The CLI reads no workspace (--no-workspace); the window always does.
  void SetUseWorkspace(bool use) { useWorkspace_ = use; }

  // Settings: read from and saved to `path` (empty: never saved).
  void ReadSettings(const std::string& path);
  const std::string& SettingsPath() const { return settingsPath_; }
  bool SaveSettings();
  // The workspace lists into `path`. A file there that failed to read is
  // moved aside to ".Zan.bak" first (a symlink is moved as a link, its target
  // untouched), and the lists are written as a new regular file. When another
  // session changed the file since it was read here, its version is kept in
  // ".Zan.bak" before the lists replace it. A workspace that cannot be written
  // where it belongs goes to ".Zan.new". Every such step is said.
  bool SaveWorkspace(const std::string& path);
  // "Save": the settings file, then the program's workspace.
  bool Save();

  // Reads the workspace into the lists (emptied first); false after a read
  // error, which is reported naming the file and byte offset.
  bool ReadWorkspace(bool report = true);

  // The base path of a program named by its listing, its image or its base.
  static std::string BaseOf(const std::string& programPath);
  // The breakpoint extras' file beside a workspace: "prog.Zan" -> "prog_Break.txt".
  static std::string BreakRulesFileOf(const std::string& workspace);
  // A listing symbol by name (the symbol section, then the code labels).
  std::optional<std::uint16_t> SymbolAddress(std::string_view name) const;

 private:
  void ApplyPatches(bool report);
  void ReadBreakRules(bool report);
  bool SaveBreakRules(const std::string& workspace);
  bool SaveWorkspaceFile(const std::string& path);
  bool KeepUnread(const std::string& path);
  void KeepOtherSession(const std::string& path, const std::string& content);
  bool WriteFallback(const std::string& path, const std::string& error, const std::string& content,
                     const char* what);

  Messages& messages_;
  MessageRelay relay_{messages_};
  SessionHooks hooks_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<Board> board_;
  std::unique_ptr<BreakpointList> breaks_;
  std::unique_ptr<WatchList> watches_;
  std::unique_ptr<TimeTravel> timeTravel_;
  Listing listing_;
  Profiler profiler_;
  Settings settings_;
  std::string settingsPath_;
  std::string listingBase_;
  bool useWorkspace_ = true;
  std::uint64_t codeDigest_ = 0;
  std::string unreadWorkspace_;  // a workspace that failed to read, kept before its next save
  bool settingsUnread_ = false;  // the settings file failed to read: kept aside before the save
  // The workspace as it was on disk when last read or written here (nullopt:
  // there was none), to notice another session's save in between.
  std::string seenPath_;
  std::optional<std::string> seenBytes_;
};

}  // namespace hc11
