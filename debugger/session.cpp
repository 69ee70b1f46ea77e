#include "debugger/session.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/file_write.h"
#include "core/hex_loader.h"
#include "core/text_util.h"
#include "core/trace.h"
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
      board_(std::make_unique<Board>(*machine_, messages)),
      breaks_(std::make_unique<BreakpointList>(*machine_)),
      watches_(std::make_unique<WatchList>(*machine_, *board_)),
      timeTravel_(std::make_unique<TimeTravel>(*machine_, board_.get())) {
  hooks_.SetBreakpoints(breaks_.get());
}

std::string Session::BaseOf(const std::string& programPath) {
  for (std::string_view ext : {".lst", ".hex"}) {
    if (EndsWithIgnoringCase(programPath, ext)) return programPath.substr(0, programPath.size() - ext.size());
  }
  return programPath;
}

LoadReport Session::Load(const std::string& listingBase) {
  LoadReport report;
  listingBase_ = listingBase;
  Machine& m = *machine_;
  m.Idle = true;

  // Only "debprog_" moves the start address; otherwise it keeps its value.
  report.listingRead = LoadListing(listing_, listingBase, m.StartPC, messages_, true, &m.Memory);
  report.startFromListing =
      std::any_of(listing_.LineList.begin(), listing_.LineList.end(),
                  [](const TSynElem& e) { return !e.AddrText.empty() && ToLower(e.Label) == "debprog_"; });
  if (!report.listingRead)
    messages_.Show(MsgKind::Warning, "Avertissement", ListingProblemText(listingBase, listingBase));

  ClearSymbolListsExceptI(listing_.Symbols);
  board_->UhfMode = FindSymbol(listing_.Symbols, "UHF", 'I').value_or(0);
  board_->ListingBase = listingBase;
  m.tInst.fill(0);
  report.imageComplete = Init(true);
  return report;
}

LoadReport Session::LoadImageOnly(const std::string& hexFile) {
  LoadReport report;
  listingBase_ = BaseOf(hexFile);
  board_->ListingBase = listingBase_;
  machine_->tInst.fill(0);
  report.imageComplete = LoadProgramImage(*machine_, hexFile, messages_);
  return report;
}

void Session::ApplyPatches(bool report) {
  for (const std::string& error : ApplyPatchCode(settings_.patchLines, machine_->Memory))
    if (report) messages_.Show(MsgKind::Error, "Erreur", error);
}

bool Session::Init(bool restore) {
  Machine& m = *machine_;
  UiHooks& h = m.hooks();
  timeTravel_->Clear();
  ApplyReverseBudget();
  m.StepOverCalls = false;
  auto writeInitialValues = [&]() {
    for (const std::string& error : watches_->WriteInitialValues())
      messages_.Show(MsgKind::Error, "Erreur", error);
  };

  // First pass.
  ClearSymbolListsExceptI(listing_.Symbols);
  m.ClearWriteTags();  // drops the RAM breakpoints with the tags
  m.TraceList.clear();
  ReadWorkspace(true);
  settings_.marks.CopyToCore(m, *board_);
  m.ResetMachine();
  const bool loaded = LoadHexImage(m, ProgramImageName(listingBase_), messages_);
  m.TimerVector = m.MemRead16(kTimerVectorAddress);
  ApplyPatches(true);
  if (m.CodeEnd != 0) {
    writeInitialValues();
    watches_->ResolveByName(listing_.Symbols);
  }
  settings_.SetReglage("CoefQuartz", "16");

  // Second pass.
  m.RunMode = u'q';
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
  writeInitialValues();
  watches_->Refresh(true);
  h.ShowTraceLine(FormatTraceLine(m));
  h.ShowStopMessage("");
  h.ShowStopReason("");
  return loaded;
}

void Session::ApplyReverseBudget() {
  RecordLimits limits = timeTravel_->Limits();
  const std::optional<std::uint16_t> mib = StrToWord(settings_.Reglage("MemoireRetour"));
  limits.budgetBytes = static_cast<std::size_t>(mib && *mib > 0 ? *mib : 256) << 20;
  timeTravel_->SetLimits(limits);
}

bool Session::ReadWorkspace(bool report) {
  breaks_->Forget();
  watches_->Forget();
  if (!useWorkspace_ || listingBase_.empty()) return true;
  const std::string path = WorkspaceFile();
  std::string bytes;
  bool missing = false;
  if (!ReadWhole(path, bytes, missing)) {
    if (report) messages_.Show(MsgKind::Error, "Erreur", path + ": lecture impossible");
    unreadWorkspace_ = path;
    return false;
  }
  if (missing) return true;
  settings_.marks.Set("TracerAff", false);
  const WorkspaceRead read = DecodeWorkspace(bytes);
  for (const Tbreak& b : read.workspace.breaks) breaks_->Append(b, true);
  for (const TSurv& w : read.workspace.watches) watches_->AppendUnresolved(w);
  if (!read.error.empty()) {
    if (report) messages_.Show(MsgKind::Error, "Erreur", path + ": " + read.error);
    unreadWorkspace_ = path;
    return false;
  }
  settings_.marks.Set("AfReg", false);
  if (unreadWorkspace_ == path) unreadWorkspace_.clear();
  return true;
}

void Session::ReadSettings(const std::string& path) {
  settingsPath_ = path;
  std::string error;
  if (!ReadSettingsFile(path, settings_, error)) messages_.Show(MsgKind::Error, "Erreur", error);
}

bool Session::SaveSettings() {
  if (settingsPath_.empty()) return true;
  std::string error;
  if (SaveSettingsFile(settingsPath_, settings_, error)) return true;
  messages_.Show(MsgKind::Error, "Erreur", settingsPath_ + ": " + error);
  return false;
}

bool Session::SaveWorkspace(const std::string& path) {
  std::string error;
  if (path == unreadWorkspace_) {
    // What could not be read is kept before the lists replace it.
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
      std::string original;
      bool missing = false;
      if (!ReadWhole(path, original, missing) || !WriteFileWhole(path + ".bak", original, error)) {
        messages_.Show(MsgKind::Error, "Erreur", path + ".bak: " + error);
        return false;  // never overwrite what could not be kept
      }
    }
    unreadWorkspace_.clear();
  }
  if (WriteFileWhole(path, EncodeWorkspace(breaks_->entries(), watches_->entries()), error)) return true;
  messages_.Show(MsgKind::Error, "Erreur", path + ": " + error);
  return false;
}

bool Session::Save() {
  const bool settings = SaveSettings();
  const bool workspace = listingBase_.empty() || SaveWorkspace(WorkspaceFile());
  return settings && workspace;
}

}  // namespace hc11
