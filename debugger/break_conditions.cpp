// The breakpoint list's side of a run: conditions, hit counts, logpoints,
// temporary entries and the watched expression ("Arrêt sur expression").
#include "core/break_state.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "debugger/breakpoints.h"

namespace hc11 {

BreakRules::Verdict BreakpointList::Decide(Machine& m, Tbreak& b) {
  const Verdict plain = b.BreakState == kBreakStop ? Verdict::Stop : Verdict::Trace;
  if (b.condition) {
    const ExprResult r = b.condition->Test(ExprContext{m, b.hits});
    if (r.fault) {
      m.ReportError(ErrorKind::BreakRule, BreakLine(b) + " : condition, " + r.fault->Text());
      return Verdict::Pass;
    }
    if (r.value == 0) return Verdict::Pass;
  }
  ++b.hits;
  const BreakExtras& e = b.extras;
  if (e.rule == HitRule::Nth && b.hits != e.count) return Verdict::Pass;
  if (e.rule == HitRule::EveryNth && b.hits % e.count != 0) return Verdict::Pass;
  if (b.log) {
    std::optional<ExprError> fault;
    const std::string text = b.log->Format(ExprContext{m, b.hits}, fault);
    m.EventTrace(text);
    if (fault) m.ReportError(ErrorKind::BreakRule, BreakLine(b) + " : message, " + fault->Text());
    return Verdict::Pass;
  }
  if (plain == Verdict::Stop && e.temporary) b.spent = true;
  return plain;
}

BreakRules::Verdict BreakpointList::CodeBreakReached(Machine& m, std::uint16_t pc) {
  for (Tbreak& b : entries_) {
    if (b.address != pc || b.BreakKind != 'C' || b.BreakState != m.tInst[pc] || b.spent) continue;
    return Decide(m, b);
  }
  // Registered without an entry of that state (the GDB stub's own, a
  // workspace read in progress): the plain behaviour.
  return m.tInst[pc] == kBreakStop ? Verdict::Stop : Verdict::Trace;
}

bool BreakpointList::StopsGoingBack(const Machine& m, std::uint16_t pc) const {
  for (const Tbreak& b : entries_) {
    if (b.address != pc || b.BreakKind != 'C' || b.BreakState != kBreakStop || b.spent) continue;
    if (b.log) return false;
    if (!b.condition) return true;
    const ExprResult r = b.condition->Test(ExprContext{m, b.hits});
    return r.fault || r.value != 0;
  }
  return true;  // registered without an entry of that state: the plain "Break"
}

void BreakpointList::RamBreakHit(Machine& m, std::uint16_t address, char kind) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Tbreak& b = entries_[i];
    if (b.address != address || b.BreakKind != kind || b.spent) continue;
    if (b.BreakState != kBreakStop && b.BreakState != kBreakTrace) continue;
    switch (Decide(m, b)) {
      case Verdict::Stop:
        if (!ramStop_) ramStop_ = RamStop{address, kind, b.name};
        if (!m.BreakRequested) ramBreakEntry_ = StopEntry{i, BreakLine(b)};
        m.RequestBreak(address, kind);
        break;
      case Verdict::Trace:
        m.EventTrace(BreakLine(b));
        break;
      case Verdict::Pass:
        break;
    }
  }
}

std::string BreakpointList::SetStopWhen(const std::string& text) {
  if (Trim(text).empty()) {
    stopWhenText_.clear();
    stopWhen_.reset();
    machine_.WatchSet = false;
    return {};
  }
  ParsedExpression p = ParseExpression(text, resolve_);
  if (!p.expression) return p.error.Text();
  stopWhenText_ = text;
  stopWhen_ = std::move(p.expression);
  stopWhenWas_ = false;
  machine_.WatchSet = true;
  return {};
}

bool BreakpointList::WatchStops(Machine& m) {
  if (!stopWhen_) return false;
  const ExprResult r = stopWhen_->Test(ExprContext{m, 0});
  if (r.fault) {
    m.Stop = StopEvent{};
    m.Stop.cause = StopCause::Expression;
    m.Stop.expressionFault = true;
    m.Stop.line = r.fault->Text();
    m.EventTrace(BreakTraceLine(StopText(m.Stop)));
    stopWhenWas_ = false;
    return true;
  }
  // Only a change to true stops: a run started while it holds goes on until
  // it has been false once.
  const bool now = r.value != 0;
  const bool rose = now && !stopWhenWas_;
  stopWhenWas_ = now;
  if (rose) {
    m.Stop = StopEvent{};
    m.Stop.cause = StopCause::Expression;
    m.Stop.line = stopWhenText_;
  }
  return rose;
}

void BreakpointList::RunBegins(Machine& m) {
  if (!stopWhen_) return;
  const ExprResult r = stopWhen_->Test(ExprContext{m, 0});
  stopWhenWas_ = !r.fault && r.value != 0;
}

void BreakpointList::RunEnds(Machine&) {
  for (std::size_t i = entries_.size(); i-- > 0;)
    if (entries_[i].spent) Remove(i);
}

void BreakpointList::ResetHits() {
  for (Tbreak& b : entries_) b.hits = 0;
}

}  // namespace hc11
