// The window's side of "Serveur GDB": GDB's runs go through the window's own
// run commands (so the flowchart, the lists and the registers follow), its
// breakpoints refresh the "Break" list, and a timer polls the server while
// the window is idle (the run loop's event pump polls it during a run).
#pragma once

#include <QTimer>
#include <functional>

#include "debugger/run_control.h"
#include "gdbstub/recorded_reverse.h"
#include "gdbstub/stub_service.h"

namespace hc11::gui {

class GdbLink final : public gdb::StubHost {
 public:
  GdbLink(Session& session, RunControl& run, std::function<void()> breaksChanged,
          std::function<void()> machineChanged);

  // Follows the "Serveur GDB" mark and the "PortGdb" setting.
  void Apply(Messages& messages);
  void Poll() { service_.Poll(); }
  const gdb::StubService& service() const { return service_; }

  void Continue(Machine&) override { run_.Run(); }
  void StepOne(Machine&) override { run_.Step(); }
  void BreaksChanged() override { breaksChanged_(); }
  void MachineChanged() override { machineChanged_(); }

 private:
  Session& session_;
  RunControl& run_;
  std::function<void()> breaksChanged_, machineChanged_;
  // "bs"/"bc" are the window's own "Pas arrière" and "Exécuter en arrière",
  // so every view follows the moment reached.
  gdb::RecordedReverse reverse_;
  gdb::StubService service_;
  QTimer timer_;
};

}  // namespace hc11::gui
