#include "debugger/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/file_write.h"
#include "core/hex_loader.h"
#include "core/text_util.h"
#include "core/trace.h"
#include "debugger/break_rules_file.h"
#include "debugger/whole_file.h"
#include "debugger/workspace_file.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "listing/symbols.h"

namespace hc11 {

namespace {

constexpr std::uint16_t kTimerVectorAddress = 0xFFE8;

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const char a = text[text.size() - suffix.size() + i];
    const char b = suffix[i];
    if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b)))
      return false;
  }
  return true;
}

}  // namespace

Session::Session(UiHooks& hooks, Messages& messages)
    : messages_(messages),
      hooks_(hooks),
      machine_(std::make_unique<Machine>(&hooks_)),
      board_(std::make_unique<Board>(*machine_, relay_)),
      breaks_(std::make_unique<BreakpointList>(*machine_)),
      watches_(std::make_unique<WatchList>(*machine_, *board_)),
      timeTravel_(std::make_unique<TimeTravel>(*machine_, board_.get())) {
  hooks_.SetBreakpoints(breaks_.get());
  breaks_->SetSymbols([this](std::string_view name) { return SymbolAddress(name); });
}

std::string Session::BaseOf(const std::string& programPath) {
  for (std::string_view ext : {".lst", ".hex"}) {
    if (EndsWithIgnoringCase(programPath, ext)) return programPath.substr(0, programPath.size() - ext.size());
  }
  return programPath;
}

LoadReport Session::Load(const std::string& listingBase) {
  const MessageBatch batch(relay_);
  LoadReport report;
  listingBase_ = listingBase;
  Machine& m = *machine_;
  m.Idle = true;

  // Only "debprog_" moves the start address; otherwise it keeps its value.
  report.listingRead = LoadListing(listing_, listingBase, m.StartPC, relay_, true, &m.Memory);
  report.startFromListing =
      std::any_of(listing_.LineList.begin(), listing_.LineList.end(),
                  [](const TSynElem& e) { return !e.AddrText.empty() && ToLower(e.Label) == "debprog_"; });
  if (!report.listingRead) {
    relay_.Show(MsgKind::Warning, "Avertissement", ListingProblemText(listingBase, listingBase));
  } else if (listing_.LineList.empty() && listing_.Symbols.ListSymbI.empty() &&
             listing_.FunctionList.entries.empty()) {
    // A file of some other kind read as a listing: nothing in it was recognised.
    relay_.Show(
        MsgKind::Warning, "Avertissement",
        "Le fichier LST " + QuoteText(ListingFileName(listingBase)) + " ne contient aucune ligne de listing");
  }

  profiler_.MapListing(listing_);
  ClearSymbolListsExceptI(listing_.Symbols);
  board_->UhfMode = FindSymbol(listing_.Symbols, "UHF", 'I').value_or(0);
  board_->ListingBase = listingBase;
  m.tInst.fill(0);
  report.imageComplete = Init(true);
  return report;
}

LoadReport Session::LoadImageOnly(const std::string& hexFile) {
  const MessageBatch batch(relay_);
  LoadReport report;
  listingBase_ = BaseOf(hexFile);
  board_->ListingBase = listingBase_;
  machine_->tInst.fill(0);
  report.imageComplete = LoadProgramImage(*machine_, hexFile, relay_, &codeDigest_);
  return report;
}

void Session::ApplyPatches(bool report) {
  for (const std::string& error : ApplyPatchCode(settings_.patchLines, machine_->Memory))
    if (report) relay_.Show(MsgKind::Error, "Erreur", error);
}

bool Session::Init(bool restore) {
  // Every fault of the files and values Init reads is one message.
  const MessageBatch batch(relay_);
  Machine& m = *machine_;
  timeTravel_->Clear();
  ApplyReverseBudget();
  ApplyStackWarning();
  m.StepOverCalls = false;
  auto writeInitialValues = [&]() {
    for (const std::string& error : watches_->WriteInitialValues())
      relay_.Show(MsgKind::Error, "Erreur", error);
  };

  // First pass.
  ClearSymbolListsExceptI(listing_.Symbols);
  m.ClearWriteTags();  // drops the RAM breakpoints with the tags
  m.TraceList.clear();
  ReadWorkspace(true);
  settings_.marks.CopyToCore(m, *board_);
  m.ResetMachine();
  const bool loaded = LoadHexImage(m, ProgramImageName(listingBase_), relay_, &codeDigest_);
  m.TimerVector = m.MemRead16(kTimerVectorAddress);
  ApplyPatches(true);
  if (m.CodeEnd != 0) {
    writeInitialValues();
    watches_->ResolveByName(listing_.Symbols);
  }
  settings_.SetReglage("CoefQuartz", "16");

  // Second pass.
  m.RunMode = kModeStop;
  m.StepCounter = 0;
  m.StepOverArmed = false;
  m.ClearWriteTags();
  m.TraceList.clear();
  ReadWorkspace(false);  // the first pass reported its faults
  settings_.marks.CopyToCore(m, *board_);
  m.ResetMachine();
  if (restore) {
    ClearSymbolListsExceptI(listing_.Symbols);
    watches_->ResolveByName(listing_.Symbols);
    ApplyPatches(false);  // the first pass reported its refusals
  }
  writeInitialValues();  // the batch says a refusal of both passes once
  breaks_->ResetHits();
  if (!breaks_->StopWhen().empty()) {
    // The symbols may have moved or gone with the program.
    const std::string text = breaks_->StopWhen();
    const std::string error = breaks_->SetStopWhen(text);
    if (!error.empty()) {
      breaks_->SetStopWhen("");
      relay_.Show(MsgKind::Warning, "Avertissement",
                  "Arrêt sur expression " + QuoteText(text) + " retiré : " + error);
    }
  }
  profiler_.Reset(m.CycleCount);
  watches_->Refresh(true);
  return loaded;
}

void Session::ApplyReverseBudget() {
  RecordLimits limits = timeTravel_->Limits();
  const std::optional<std::uint16_t> mib = StrToWord(settings_.Reglage("MemoireRetour"));
  limits.budgetBytes = static_cast<std::size_t>(mib && *mib > 0 ? *mib : 256) << 20;
  timeTravel_->SetLimits(limits);
}

void Session::ApplyStackWarning() {
  machine_->StackLow.SetWarnBelow(StrToWord(Trim(settings_.Reglage("Pile basse"))).value_or(0));
}

bool Session::ReadWorkspace(bool report) {
  breaks_->Forget();
  watches_->Forget();
  if (!useWorkspace_ || listingBase_.empty()) return true;
  const std::string path = WorkspaceFile();
  std::string bytes, reason;
  bool missing = false;
  if (!ReadWhole(path, bytes, missing, &reason)) {
    if (report)
      relay_.Show(MsgKind::Error, "Erreur", QuoteText(path) + ": lecture impossible (" + reason + ")");
    unreadWorkspace_ = path;
    seenPath_.clear();
    return false;
  }
  seenPath_ = path;
  seenBytes_.reset();
  if (missing) return true;
  seenBytes_ = bytes;
  settings_.marks.Set("TracerAff", false);
  const WorkspaceRead read = DecodeWorkspace(bytes);
  for (const Tbreak& b : read.workspace.breaks) breaks_->Append(b, true);
  for (const TSurv& w : read.workspace.watches) watches_->AppendUnresolved(w);
  if (report)
    for (const std::string& note : read.notes)
      relay_.Show(MsgKind::Warning, "Avertissement", QuoteText(path) + ": " + note);
  if (!read.error.empty()) {
    if (report) relay_.Show(MsgKind::Error, "Erreur", QuoteText(path) + ": " + read.error);
    unreadWorkspace_ = path;
    seenPath_.clear();
    return false;
  }
  ReadBreakRules(report);
  settings_.marks.Set("AfReg", false);
  if (unreadWorkspace_ == path) unreadWorkspace_.clear();
  return true;
}

void Session::ReadSettings(const std::string& path) {
  settingsPath_ = path;
  settingsUnread_ = false;
  std::string error;
  if (!ReadSettingsFile(path, settings_, error)) {
    relay_.Show(MsgKind::Error, "Erreur", error);
    settingsUnread_ = true;
  }
}

bool Session::SaveSettings() {
  if (settingsPath_.empty()) return true;
  // What could not be read is moved aside, never rewritten or lost.
  if (settingsUnread_ && !KeepUnread(settingsPath_)) return false;
  settingsUnread_ = false;
  std::string error;
  if (SaveSettingsFile(settingsPath_, settings_, error)) return true;
  return WriteFallback(settingsPath_, error, RewriteSettings("", settings_), "les réglages");
}

// Moves a file that failed to read to path + ".bak": its bytes, or the link
// and the file it names, stay as they were. Something that is neither a file
// nor a link (a directory, a FIFO) is not ours to move and stays in place.
bool Session::KeepUnread(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) return true;
  const std::string bak = path + ".bak";
  if (std::rename(path.c_str(), bak.c_str()) != 0) {
    relay_.Show(MsgKind::Error, "Erreur",
                QuoteText(path) + " : impossible de le garder dans " + QuoteText(bak) + " (" +
                    std::strerror(errno) + "), il n'est pas remplacé");
    return false;
  }
  relay_.Show(MsgKind::Info, "Information",
              QuoteText(path) + " n'a pas pu être lu : il est gardé tel quel dans " + QuoteText(bak) +
                  ", un nouveau fichier est écrit à sa place");
  return true;
}

// Another session saved the workspace after it was read here: its version
// goes to ".bak" so neither side is lost.
void Session::KeepOtherSession(const std::string& path, const std::string& content) {
  if (path != seenPath_) return;
  std::string now;
  bool missing = false;
  if (!ReadWhole(path, now, missing)) return;
  const std::optional<std::string> onDisk = missing ? std::nullopt : std::optional<std::string>(now);
  if (onDisk == seenBytes_ || !onDisk || *onDisk == content) return;
  const std::string bak = path + ".bak";
  std::string error;
  ::unlink(bak.c_str());  // a link there is replaced, never written through
  if (WriteFileWhole(bak, *onDisk, error)) {
    relay_.Show(
        MsgKind::Warning, "Avertissement",
        QuoteText(path) +
            " a été modifié par une autre session depuis sa lecture : cette version est gardée dans " +
            QuoteText(bak));
  } else {
    relay_.Show(MsgKind::Error, "Erreur", QuoteText(bak) + ": " + error);
  }
}

// `path` could not be written for `error`: `content` goes beside it with
// ".new", and the message says where.
bool Session::WriteFallback(const std::string& path, const std::string& error, const std::string& content,
                            const char* what) {
  // Beside a device (/dev/full, a terminal) is a system folder, no place for
  // the user's file.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) {
    relay_.Show(MsgKind::Error, "Erreur",
                QuoteText(path) + ": " + error + " ; " + what + " ne sont pas enregistrés");
    return false;
  }
  const std::string fallback = path + ".new";
  std::string error2;
  ::unlink(fallback.c_str());
  if (WriteFileWhole(fallback, content, error2)) {
    relay_.Show(
        MsgKind::Error, "Erreur",
        QuoteText(path) + ": " + error + " ; " + what + " sont enregistrés dans " + QuoteText(fallback));
  } else {
    relay_.Show(MsgKind::Error, "Erreur",
                QuoteText(path) + ": " + error + " ; " + what + " ne sont pas enregistrés (" +
                    QuoteText(fallback) + ": " + error2 + ")");
  }
  return false;
}

std::string Session::BreakRulesFileOf(const std::string& workspace) {
  const std::string_view ext = ".Zan";
  const bool zan = workspace.size() >= ext.size() &&
                   workspace.compare(workspace.size() - ext.size(), ext.size(), ext) == 0;
  return (zan ? workspace.substr(0, workspace.size() - ext.size()) : workspace) + "_Break.txt";
}

std::optional<std::uint16_t> Session::SymbolAddress(std::string_view name) const {
  if (const auto a = FindSymbol(listing_.Symbols, name, 'I')) return a;
  for (const TSynElem& line : listing_.LineList)
    if (!line.AddrText.empty() && line.Label == name) return StrToWord("$" + line.AddrText);
  return std::nullopt;
}

void Session::ReadBreakRules(bool report) {
  const std::string path = BreakRulesFileOf(WorkspaceFile());
  std::string text, reason;
  bool missing = false;
  if (!ReadWhole(path, text, missing, &reason)) {
    if (report)
      relay_.Show(MsgKind::Error, "Erreur", QuoteText(path) + ": lecture impossible (" + reason + ")");
    return;
  }
  if (missing) return;
  const BreakRulesRead read = DecodeBreakRules(text);
  std::vector<std::string> problems = read.problems;
  for (std::string& p : ApplyBreakRules(*breaks_, read.lines)) problems.push_back(std::move(p));
  if (report)
    for (const std::string& p : problems)
      relay_.Show(MsgKind::Warning, "Avertissement", QuoteText(path) + ": " + p);
}

bool Session::SaveBreakRules(const std::string& workspace) {
  const std::string path = BreakRulesFileOf(workspace);
  const bool any = std::any_of(breaks_->entries().begin(), breaks_->entries().end(),
                               [](const Tbreak& b) { return b.extras.Any(); });
  struct stat st {};
  // Without extras the file is only rewritten when there is one, so rules
  // removed in this session do not come back at the next load.
  if (!any && ::lstat(path.c_str(), &st) != 0) return true;
  std::string error;
  if (WriteFileWhole(path, EncodeBreakRules(breaks_->entries()), error)) return true;
  relay_.Show(
      MsgKind::Error, "Erreur",
      QuoteText(path) + ": " + error + " ; les conditions des points d'arrêt ne sont pas enregistrées");
  return false;
}

bool Session::SaveWorkspace(const std::string& path) {
  const bool rules = SaveBreakRules(path);
  return SaveWorkspaceFile(path) && rules;
}

bool Session::SaveWorkspaceFile(const std::string& path) {
  const std::string content = EncodeWorkspace(breaks_->entries(), watches_->entries());
  if (path == unreadWorkspace_) {
    // Never overwrite what could not be kept; the lists still go somewhere.
    if (!KeepUnread(path))
      return WriteFallback(path, "non remplacé", content, "l'espace de travail et ses changements");
    unreadWorkspace_.clear();
  } else {
    KeepOtherSession(path, content);
  }
  std::string error;
  if (!WriteFileWhole(path, content, error))
    return WriteFallback(path, error, content, "l'espace de travail et ses changements");
  seenPath_ = path;
  seenBytes_ = content;
  return true;
}

bool Session::Save() {
  const MessageBatch batch(relay_);
  const bool settings = SaveSettings();
  const bool workspace = listingBase_.empty() || SaveWorkspace(WorkspaceFile());
  return settings && workspace;
}

}  // namespace hc11
