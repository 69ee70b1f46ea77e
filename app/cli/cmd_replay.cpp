// hc11flow-cli replay SESSION [PROGRAM] [--timing MS] [--save-state FILE]:
// gives a recorded session's inputs at their times to PROGRAM (the recorded
// program by default) and compares its outputs with the recorded ones.
#include <charconv>
#include <memory>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_interrupt.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_run_load.h"
#include "core/text_util.h"
#include "recording/replayer.h"
#include "recording/session_program.h"

namespace hc11::cli {
namespace {

// Quiet: a replay prints its result only; a signal ends the run at its next yield.
class ReplayHost : public UiHooks {
 public:
  explicit ReplayHost(Machine*& m) : m_(m) {}
  void ProcessEvents() override {
    if (m_ != nullptr && CliInterrupt::Requested()) m_->RunMode = kModeStop;
  }

 private:
  Machine*& m_;
};

constexpr const char* kUsage = "SESSION [PROGRAM] [--timing MS] [--save-state FILE]";

struct ReplayArgs {
  std::string session, program, saveState;
  std::optional<double> timingMs;
};

std::optional<ReplayArgs> ParseArgs(const std::vector<std::string>& args, std::string& error) {
  ReplayArgs r;
  std::vector<std::string> plain;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--timing" || a == "--save-state") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return {};
      }
      const std::string& v = args[++i];
      if (a == "--save-state") {
        r.saveState = v;
        continue;
      }
      double ms = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
      if (ec != std::errc{} || end != v.data() + v.size() || !(ms >= 0 && ms <= 1e9)) {
        error = "--timing: bad milliseconds '" + v + "'";
        return {};
      }
      r.timingMs = ms;
    } else if (a.starts_with("--")) {
      error = "unknown option '" + a + "'";
      return {};
    } else {
      plain.push_back(a);
    }
  }
  if (plain.empty() || plain.size() > 2) {
    error = std::string("usage: hc11flow-cli replay ") + kUsage;
    return {};
  }
  r.session = plain[0];
  if (plain.size() == 2) r.program = plain[1];
  return r;
}

int Replay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  const std::optional<ReplayArgs> a = ParseArgs(args, error);
  if (!a) {
    err << "hc11flow-cli replay: " << error << '\n';
    return kExitUsage;
  }
  const SessionReadResult read = ReadSessionFile(a->session);
  if (!read.ok()) {
    err << "hc11flow-cli replay: " << read.message << '\n';
    return kExitUsage;
  }
  const SessionFile& session = *read.session;
  RunOptions o;
  o.program = !a->program.empty() ? a->program : SessionProgramPath(a->session, session);
  Machine* machine = nullptr;
  ReplayHost host(machine);
  CliInterrupt interrupt;
  CliMessages messages(err);
  auto controller = std::make_unique<Controller>(host, messages);
  machine = &controller->machine();
  if (!PrepareRunSession(o, *controller, "replay", err)) return kExitUsage;
  // Another program is the point of a replay; its header is shown all the same.
  out << "session: " << session.program
      << Format(" %16.16llx ", static_cast<unsigned long long>(session.digest)) << ClockName(session.clock)
      << '\n';
  if (session.digest != controller->session().CodeImageDigest())
    out << Format("build: %16.16llx\n",
                  static_cast<unsigned long long>(controller->session().CodeImageDigest()));
  const ReplayResult r = hc11::Replay(*controller, session, {a->timingMs});
  out << ReplayText(r);
  if (!r.same() && !a->saveState.empty()) {
    if (const StateFileResult s = controller->SaveState(a->saveState); !s.ok()) {
      err << "hc11flow-cli replay: --save-state: " << s.message << '\n';
      return 1;
    }
  }
  return r.same() ? 0 : 1;
}

const bool kRegistered = RegisterCommand({"replay", kUsage, Replay});

}  // namespace
}  // namespace hc11::cli
