// Arbitrary bytes from a GDB client: the framing, the acknowledgements and
// every packet's answer must hold up, runs included (each is bounded by the
// machine's step budget), and every reply must be a well-formed packet.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"
#include "gdbstub/connection.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/dispatcher.h"
#include "gdbstub/gdb_breaks.h"
#include "gdbstub/packet.h"

namespace {

// Every reply the stub sends is "+", "-" or a packet with a good checksum.
void CheckOutput(std::string_view out) {
  hc11::gdb::PacketReader reader;
  for (char c : out) {
    const auto event = reader.Push(c);
    if (event == hc11::gdb::FrameEvent::BadChecksum || event == hc11::gdb::FrameEvent::Oversized)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller controller(hooks, messages);
  hc11::Session& session = controller.session();
  hc11::Machine& m = session.machine();
  // E000 incA / bra E000, and a read and a write of $10 for the watchpoints.
  const std::uint8_t program[] = {0x4C, 0x97, 0x10, 0x96, 0x10, 0x20, 0xF9};
  for (std::size_t i = 0; i < sizeof program; ++i) m.Memory[0xE000 + i] = program[i];
  m.StartPC = 0xE000;
  m.CodeEnd = 0xE007;
  m.ResetMachine();
  m.StepBudget = 2000;

  hc11::gdb::ControllerHost host(controller);
  std::string out;
  {
    hc11::gdb::GdbBreakpoints breaks(m, session.breakpoints());
    hc11::gdb::Dispatcher dispatcher(session, breaks, host);
    hc11::gdb::Connection connection(dispatcher, [&out](std::string_view bytes) {
      out.append(bytes);
      return true;
    });
    connection.Feed(std::string_view(reinterpret_cast<const char*>(data), size));
  }
  CheckOutput(out);
  if (!session.breakpoints().entries().empty()) std::abort();  // the stub took its entries away
  return 0;
}
