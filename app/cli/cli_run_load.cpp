#include "app/cli/cli_run_load.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/cli/cli_board.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/settings_file.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_files.h"
#include "listing/symbols.h"

namespace hc11::cli {

namespace {

constexpr std::uint16_t kResetVector = 0xFFFE;

bool Readable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

bool IsHexFile(const std::string& path) {
  return path.size() > 4 && ToLower(path.substr(path.size() - 4)) == ".hex";
}

// The command line's breakpoints and watches, after those of the workspace.
void AddListEntries(const RunOptions& o, Session& session) {
  for (const BreakOption& b : o.breaks)
    session.breakpoints().Append({b.name, b.address, b.kind, b.state}, true);
  std::vector<TSurv> watches;
  watches.reserve(o.watches.size());
  for (const WatchOption& opt : o.watches) {
    TSurv w;
    w.name = opt.name;
    w.WatchFormat = opt.format;
    w.bytesPer = opt.bytesPer;
    w.elements = opt.elements;
    w.initial = opt.initial;
    if (opt.address) {
      w.address = *opt.address;
    } else if (const auto a = FindSymbol(session.listing().Symbols, opt.name, 'I')) {
      w.address = *a;
    }
    watches.push_back(std::move(w));
  }
  // One refresh for them all: thousands of watches stay linear.
  session.watches().AppendAll(watches);
  for (const TSurv& w : watches)
    for (const std::string& error : session.watches().WriteValue(w, w.initial))
      session.messages().Show(MsgKind::Error, "Erreur", QuoteText(w.name) + ": " + error);
}

// The command line's breakpoint extras and stop expressions, refused with the
// evaluator's message when malformed.
bool ApplyBreakRules(const RunOptions& o, Session& session, const char* command, std::ostream& err) {
  BreakpointList& list = session.breakpoints();
  for (const BreakRuleOption& r : o.breakRules) {
    std::optional<std::size_t> index;
    for (std::size_t i = 0; i < list.entries().size() && !index; ++i)
      if (list.entries()[i].address == r.address && list.entries()[i].BreakKind == 'C') index = i;
    if (!index) {
      list.Append({"nom", r.address, 'C', 2}, true);
      index = list.entries().size() - 1;
    }
    BreakExtras extras = list.entries()[*index].extras;
    switch (r.kind) {
      case BreakRuleOption::Kind::Condition:
        extras.condition = r.text;
        break;
      case BreakRuleOption::Kind::Count:
        extras.rule = r.every ? HitRule::EveryNth : HitRule::Nth;
        extras.count = r.count;
        break;
      case BreakRuleOption::Kind::Log:
        extras.log = r.text;
        break;
    }
    if (const std::string error = list.SetExtras(*index, extras); !error.empty()) {
      err << "hc11flow-cli " << command << ": '" << QuoteText(r.option) << "': " << error << '\n';
      return false;
    }
  }
  std::string any;
  for (const std::string& e : o.stopWhen) {
    // Each alone first, so a message's column is that of the text given.
    if (const std::string error = list.SetStopWhen(e); !error.empty()) {
      err << "hc11flow-cli " << command << ": --stop-when " << QuoteText(e) << ": " << error << '\n';
      return false;
    }
    any += (any.empty() ? "(" : " || (") + e + ")";
  }
  if (o.stopWhen.size() > 1) list.SetStopWhen(any);
  return true;
}

// Loads PROGRAM: a HEX file alone, or the program named by its listing or its
// base path (listing, then code image). False when nothing can be read.
bool LoadProgram(const RunOptions& o, Controller& controller, const char* command, std::ostream& err) {
  Session& session = controller.session();
  Machine& m = session.machine();
  if (o.start) m.StartPC = *o.start;
  LoadReport report;
  if (IsHexFile(o.program) && Readable(o.program)) {
    report = controller.LoadImageOnly(o.program);
  } else {
    const std::string base = Session::BaseOf(o.program);
    if (!Readable(ListingFileName(base)) && !Readable(ProgramImageName(base))) {
      err << "hc11flow-cli " << command << ": cannot read '" << ListingFileName(base) << "' or '"
          << ProgramImageName(base) << "'\n";
      return false;
    }
    report = controller.Load(base);
  }
  // --start wins; without it and without "debprog_" the reset vector starts.
  if (o.start) {
    m.StartPC = *o.start;
  } else if (!report.startFromListing) {
    m.StartPC = static_cast<std::uint16_t>(m.Memory[kResetVector] << 8 | m.Memory[kResetVector + 1]);
  }
  m.cpu.PC = m.StartPC;
  if (o.target) m.RunTarget = *o.target;
  if (report.listingRead) {
    // The function names of the stack lines come from the flowchart's label index.
    ConvertAll(session.listing());
    const FixedTextMetrics metrics;
    Flowchart(session.listing(), session.messages(), metrics).BuildLabelIndex();
  }
  AddListEntries(o, session);
  if (!ApplyBreakRules(o, session, command, err)) return false;
  m.HistoryEnabled = o.history;
  m.StepBudget = o.steps;
  return true;
}

}  // namespace

bool PrepareRunSession(const RunOptions& o, Controller& controller, const char* command, std::ostream& err,
                       const std::function<void()>& loaded) {
  Session& session = controller.session();
  if (!o.settings.empty()) {
    std::string error;
    std::error_code ec;
    if (!std::filesystem::exists(o.settings, ec)) {
      err << "hc11flow-cli " << command << ": cannot read settings '" << QuoteText(o.settings)
          << "': " << std::strerror(ENOENT) << '\n';
      return false;
    }
    if (!ReadSettingsFile(o.settings, session.settings(), error)) {
      err << "hc11flow-cli " << command << ": " << error << '\n';
      return false;
    }
  }
  if (o.exact) session.settings().marks.Set("ProcesseurExact", true);
  session.SetUseWorkspace(!o.noWorkspace);
  SetBoardTraces(session.board(), o.board);
  for (const PanelInput& input : PanelInputsBeforeLoad(o.board)) controller.Press(input);
  if (!LoadProgram(o, controller, command, err)) return false;
  if (const std::string error = LoadEepromImage(session.board(), o.board); !error.empty()) {
    err << "hc11flow-cli " << command << ": " << error << '\n';
    return false;
  }
  if (loaded) loaded();
  for (const PanelInput& input : PanelInputsAfterLoad(o.board)) controller.Press(input);
  return true;
}

}  // namespace hc11::cli
