#include "python/py_board.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/settings_file.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_files.h"

namespace hc11::py {

namespace {

constexpr std::uint16_t kResetVector = 0xFFFE;
// More counts than any one step takes, an interrupt entry included: a batch
// of (counts left / this) steps never passes a cycle bound.
constexpr std::int64_t kMostCountsPerStep = 64;

bool Readable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

bool IsHexFile(const std::string& path) {
  return path.size() > 4 && ToLower(path.substr(path.size() - 4)) == ".hex";
}

std::uint64_t StepsWithin(std::int64_t countsLeft) {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(1, countsLeft / kMostCountsPerStep));
}

}  // namespace

void KeptMessages::Show(MsgKind kind, std::string_view, std::string_view text) {
  entries.push_back({kind, std::string(text)});
}

PyBoard::PyBoard() : controller_(std::make_unique<Controller>(hooks_, messages_)) {
  board().OnTransmit = [this](std::uint8_t byte) {
    received_.push_back(byte);
    if (!expected_.empty() && Matched()) controller_->Stop();
  };
}

OpenResult PyBoard::Open(const std::string& program, bool workspace, const std::string& settings) {
  Session& s = session();
  if (!settings.empty()) {
    std::error_code ec;
    if (!std::filesystem::exists(settings, ec))
      return {OpenError::Missing,
              "cannot read settings '" + QuoteText(settings) + "': " + std::strerror(ENOENT)};
    std::string error;
    if (!ReadSettingsFile(settings, s.settings(), error)) return {OpenError::Refused, error};
  }
  s.SetUseWorkspace(workspace);
  const std::size_t before = messages_.entries.size();
  LoadReport report;
  if (IsHexFile(program) && Readable(program)) {
    report = s.LoadImageOnly(program);
  } else {
    const std::string base = Session::BaseOf(program);
    if (!Readable(ListingFileName(base)) && !Readable(ProgramImageName(base)))
      return {OpenError::Missing,
              "cannot read '" + ListingFileName(base) + "' or '" + ProgramImageName(base) + "'"};
    report = controller_->Load(base);
  }
  if (!report.imageComplete) {
    std::string text;
    for (std::size_t i = before; i < messages_.entries.size(); ++i)
      if (messages_.entries[i].kind == MsgKind::Error)
        text += (text.empty() ? "" : "\n") + messages_.entries[i].text;
    return {OpenError::Refused, text.empty() ? "the code image did not load" : text};
  }
  Machine& m = machine();
  if (!report.startFromListing)
    m.StartPC = static_cast<std::uint16_t>(m.Memory[kResetVector] << 8 | m.Memory[kResetVector + 1]);
  controller_->SetRegister(CpuRegister::PC, m.StartPC);
  if (report.listingRead) {
    // The stack lines and the failure report name functions from the label index.
    ConvertAll(s.listing());
    const FixedTextMetrics metrics;
    Flowchart(s.listing(), s.messages(), metrics).BuildLabelIndex();
  }
  return {};
}

StopEvent PyBoard::Run(const RunBounds& bounds) {
  Machine& m = machine();
  const RunKind kind = bounds.until ? RunKind::RunTo : RunKind::Run;
  const std::uint16_t target = bounds.until.value_or(0);
  const std::int64_t end = m.CycleCount + bounds.counts.value_or(0);
  std::uint64_t stepsLeft = bounds.steps.value_or(0);
  for (;;) {
    std::uint64_t budget = stepsLeft;
    if (bounds.counts) {
      const std::uint64_t within = StepsWithin(end - m.CycleCount);
      budget = budget == 0 ? within : std::min(budget, within);
    }
    const std::uint64_t stepsBefore = m.StepTotal;
    m.StepBudget = budget;
    StopEvent e = controller_->Run(kind, target);
    m.StepBudget = 0;
    if (e.cause != StopCause::BudgetSpent || !bounds.counts || m.CycleCount >= end) return e;
    if (bounds.steps) {
      stepsLeft -= std::min(stepsLeft, m.StepTotal - stepsBefore);
      if (stepsLeft == 0) return e;
    }
  }
}

CallResult PyBoard::Call(std::uint16_t entry, std::int64_t maxCounts) {
  Machine& m = machine();
  const std::uint16_t sp = m.cpu.SP;
  CallResult r;
  for (const std::uint16_t at : {sp, static_cast<std::uint16_t>(sp - 1)})
    if (m.WriteTagTable[at].tag == TagForbidden || Machine::IsRegisterBlock(at)) {
      r.end = CallEnd::NoStack;
      return r;
    }
  // The routine's own entry is the return address: a return that pops it
  // lands there with SP back where it was, which no jump inside can do.
  m.Push16(entry, TagReturnAddress);
  controller_->Edited(ChangeMemory);
  controller_->SetRegister(CpuRegister::PC, entry);
  const std::int64_t start = m.CycleCount;
  const std::uint64_t firstStep = m.StepTotal;
  for (;;) {
    const std::int64_t left = maxCounts - (m.CycleCount - start);
    if (left <= 0) {
      r.end = CallEnd::OverBudget;
      break;
    }
    m.StepBudget = StepsWithin(left);
    const StopEvent e = controller_->Run(RunKind::RunTo, entry);
    m.StepBudget = 0;
    // A batch may end on the return itself, as a spent budget rather than the target.
    const bool back = e.cause == StopCause::TargetReached || e.cause == StopCause::BudgetSpent;
    if (back && m.cpu.PC == entry && m.cpu.SP == sp) break;
    if (e.cause != StopCause::TargetReached && e.cause != StopCause::BudgetSpent) {
      r.end = CallEnd::Stopped;
      r.stop = e;
      break;
    }
  }
  r.counts = m.CycleCount - start;
  r.steps = m.StepTotal - firstStep;
  return r;
}

StopEvent PyBoard::Back(const std::function<StopEvent()>& command) {
  const std::size_t kept = received_.size();
  StopEvent e = command();
  received_.resize(kept);
  return e;
}

void PyBoard::ForgetDebuggerLists() {
  Session& s = session();
  s.breakpoints().ClearAll();
  s.breakpoints().SetStopWhen("");
  s.watches().Clear();
  s.timeTravel().SetRecording(false);
  s.timeTravel().Clear();
  s.profiler().Enable(machine(), false);
  s.profiler().Reset(machine().CycleCount);
  s.trace().Clear();
  received_.clear();
  messages_.entries.clear();
  controller_->Edited(ChangeLists | ChangeReach);
}

std::optional<std::uint16_t> PyBoard::Symbol(const std::string& name) const {
  return controller_->session().SymbolAddress(name);
}

std::string PyBoard::FunctionAt(std::uint16_t address) const {
  const FunctionMap& map = controller_->session().profiler().functions();
  if (map.numberOf.size() <= address) return {};
  const std::uint16_t n = map.numberOf[address];
  return n == 0 ? std::string() : map.functions[n - 1].name;
}

std::vector<std::string> PyBoard::TraceTail(std::size_t n) const {
  const auto& lines = controller_->session().trace().lines();
  const std::size_t from = lines.size() > n ? lines.size() - n : 0;
  return {lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end()};
}

void PyBoard::StartRecording(const std::string& path) {
  recorder_ = std::make_unique<Recorder>(*controller_);
  recordingPath_ = path;
  recorder_->Start();
}

bool PyBoard::StopRecording(std::string& error) {
  if (!recorder_) return true;
  const SessionFile session = recorder_->Stop();
  recorder_.reset();
  return WriteSessionFile(std::exchange(recordingPath_, {}), session, error);
}

std::vector<std::uint8_t> PyBoard::TakeReceived() {
  return std::exchange(received_, {});
}

bool PyBoard::Matched() const {
  return std::search(received_.begin(), received_.end(), expected_.begin(), expected_.end()) !=
         received_.end();
}

bool PyBoard::Expect(const std::vector<std::uint8_t>& expected, std::int64_t counts, StopEvent& stop,
                     std::vector<std::uint8_t>& received) {
  expected_ = expected;
  if (!Matched()) stop = Run(RunBounds{std::nullopt, counts, std::nullopt});
  expected_.clear();
  received = received_;
  const auto at = std::search(received_.begin(), received_.end(), expected.begin(), expected.end());
  if (at == received_.end()) return false;
  received_.erase(received_.begin(), at + static_cast<std::ptrdiff_t>(expected.size()));
  return true;
}

}  // namespace hc11::py
