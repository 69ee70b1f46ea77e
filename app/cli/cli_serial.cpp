#include "app/cli/cli_serial.h"

#include <csignal>
#include <ostream>

namespace hc11::cli {

namespace {

// Ctrl+C and SIGTERM end a bridged run as "Arret" would, so the panel lines
// still print and the pty's link is removed. A signal handler can only
// reach a flag of static storage.
volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
  gInterrupted = 1;
}

}  // namespace

CliSerial::CliSerial(const SerialOptions& options, Session& session, CliRunHost& host, std::ostream& err)
    : options_(options), session_(session), host_(host), err_(err) {}

CliSerial::~CliSerial() {
  Finish();
}

bool CliSerial::Start() {
  if (!options_.Any()) return true;
  Machine& m = session_.machine();
  if (!options_.address.empty()) {
    link_ = std::make_unique<serial::SerialLink>(session_.board());
    link_->OnEvent = [this](std::string_view e) { err_ << "serial: " << e << std::endl; };
    const long baud =
        options_.baud.value_or(serial::ParseBaudRate(session_.settings().Reglage("BaudRate")).value_or(9600));
    std::string error;
    if (!link_->Open(*serial::ParseLinkAddress(options_.address).address, baud, error, options_.gapUs.value_or(0))) {
      err_ << "serial: " << error << std::endl;
      link_.reset();
      return false;
    }
    err_ << "serial: " << link_->Name() << std::endl;
  }
  run_ = std::make_unique<serial::LinkedRun>(m, link_.get());
  serial::RunBounds bounds;
  bounds.realtime = options_.realtime;
  bounds.countsPerSecond = serial::CountsPerSecond(session_.settings().Reglage("CoefQuartz"));
  bounds.wallLimitUs = static_cast<std::int64_t>(options_.seconds) * 1'000'000;
  bounds.untilIdleUs = static_cast<std::int64_t>(options_.untilIdleMs) * 1000;
  run_->SetBounds(bounds);
  run_->Interrupted = [] { return gInterrupted != 0; };
  gInterrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &savedInt_);
  sigaction(SIGTERM, &action, &savedTerm_);
  started_ = true;
  run_->Arm();
  if (options_.wait && !run_->WaitForClient()) {
    err_ << "serial: no client connected" << (run_->EndReason().empty() ? "" : " (" + run_->EndReason() + ")")
         << std::endl;
    return false;
  }
  run_->RunStarted();
  host_.OnYield = [this] { run_->Yield(); };
  return true;
}

void CliSerial::Finish() {
  if (!started_) return;
  started_ = false;
  host_.OnYield = nullptr;
  if (!run_->EndReason().empty()) err_ << "serial: run ended: " << run_->EndReason() << std::endl;
  if (link_) link_->Close();
  sigaction(SIGINT, &savedInt_, nullptr);
  sigaction(SIGTERM, &savedTerm_, nullptr);
}

}  // namespace hc11::cli
