// The window's side of "Serveur GDB": GDB's commands go to the window's
// controller, whose notification makes the flowchart, the lists and the
// registers follow them; a timer polls the server while the window is idle
// (the run loop's event pump polls it during a run).
#pragma once

#include <QTimer>

#include "debugger/controller.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/recorded_reverse.h"
#include "gdbstub/stub_service.h"

namespace hc11::gui {

class GdbLink {
 public:
  explicit GdbLink(Controller& controller);

  // Follows the "Serveur GDB" mark and the "PortGdb" setting.
  void Apply(Messages& messages);
  void Poll() { service_.Poll(); }
  const gdb::StubService& service() const { return service_; }

 private:
  Session& session_;
  gdb::ControllerHost host_;
  gdb::RecordedReverse reverse_;
  gdb::StubService service_;
  QTimer timer_;
};

}  // namespace hc11::gui
