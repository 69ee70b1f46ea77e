#include "app/cli/cli_interrupt.h"

namespace hc11::cli {

namespace {

// A signal handler can only reach a flag of static storage.
volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
  gInterrupted = 1;
}

}  // namespace

CliInterrupt::CliInterrupt() {
  gInterrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &savedInt_);
  sigaction(SIGTERM, &action, &savedTerm_);
}

CliInterrupt::~CliInterrupt() {
  sigaction(SIGINT, &savedInt_, nullptr);
  sigaction(SIGTERM, &savedTerm_, nullptr);
}

bool CliInterrupt::Requested() {
  return gInterrupted != 0;
}

}  // namespace hc11::cli
