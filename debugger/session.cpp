#include "debugger/session.h"

#include <algorithm>
#include <cctype>

#include "core/hex_loader.h"
#include "core/text_util.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "listing/symbols.h"

namespace hc11 {

namespace {

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
      machine_(std::make_unique<Machine>(&hooks)),
      board_(std::make_unique<Board>(*machine_, messages)) {}

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
  report.imageComplete = LoadProgramImage(m, ProgramImageName(listingBase), messages_);
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

}  // namespace hc11
