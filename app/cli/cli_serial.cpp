#include "app/cli/cli_serial.h"

#include <ostream>

#include "app/cli/cli_interrupt.h"

namespace hc11::cli {

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
    if (!link_->Open(*serial::ParseLinkAddress(options_.address).address, baud, error,
                     options_.gapUs.value_or(0))) {
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
  // Ctrl+C ends a bridged run too, and the pty's link is removed after it.
  run_->Interrupted = [] { return CliInterrupt::Requested(); };
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
}

}  // namespace hc11::cli
