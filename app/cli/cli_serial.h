// `run --serial ...`: the board's serial link on the host and real time for
// the CLI. Opened before the runs, closed (link removed) after them; events
// go to the error stream as "serial: ..." lines.
#pragma once

#include <iosfwd>
#include <memory>

#include "app/cli/cli_run_host.h"
#include "app/cli/cli_serial_options.h"
#include "debugger/session.h"
#include "serial_link/linked_run.h"
#include "serial_link/serial_link.h"

namespace hc11::cli {

class CliSerial {
 public:
  CliSerial(const SerialOptions& options, Session& session, CliRunHost& host, std::ostream& err);
  ~CliSerial();
  CliSerial(const CliSerial&) = delete;
  CliSerial& operator=(const CliSerial&) = delete;

  // Opens the link, holds for a client when asked, arms the bounds. False
  // (after a "serial: ..." line) when the runs must not take place.
  bool Start();
  // After the runs: the link closed, why the last run ended.
  void Finish();

 private:
  const SerialOptions& options_;
  Session& session_;
  CliRunHost& host_;
  std::ostream& err_;
  std::unique_ptr<serial::SerialLink> link_;
  std::unique_ptr<serial::LinkedRun> run_;
  bool started_ = false;
};

}  // namespace hc11::cli
