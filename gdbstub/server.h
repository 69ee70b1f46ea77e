// The stub's TCP side: one listening socket (127.0.0.1 unless the user names
// another address), one client at a time (another one is told the stub is
// busy and closed), nothing ever blocks but WaitAndPoll. The host calls Poll
// when it is idle (a timer, or WaitAndPoll in a loop) and from the run loop's
// event pump (UiHooks::ProcessEvents). During a run or a replay the client
// started, Poll reads on and frames what comes, so its 0x03 or its hang-up
// ends it; during a run of the host's own the client's bytes wait unread.
// Bytes are framed as they arrive: the stub holds at most one packet and one
// read of the client's input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "debugger/session.h"
#include "gdbstub/connection.h"
#include "gdbstub/dispatcher.h"
#include "gdbstub/gdb_breaks.h"
#include "gdbstub/reverse.h"
#include "gdbstub/session_monitor.h"

namespace hc11::gdb {

inline constexpr std::uint16_t kDefaultPort = 1234;
inline constexpr const char* kLoopback = "127.0.0.1";
// The reply a second client gets before the stub closes it.
inline constexpr const char* kBusyReply = "E10";

class Server {
 public:
  // `session` and `host` (and `reverse`, when given) outlive the server.
  Server(Session& session, StubHost& host, ReverseExecution* reverse = nullptr);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds `address` (dotted IPv4) and `port` (0: any free port). False with a
  // one-line `error` when the address is not valid or the port is taken.
  bool Listen(const std::string& address, std::uint16_t port, std::string& error);
  std::uint16_t port() const { return port_; }
  void Close();

  // Non-blocking: takes a waiting client, reads what it sent and answers.
  void Poll();
  // Waits up to `timeoutMs` for the listener or the client, then polls.
  void WaitAndPoll(int timeoutMs);

  bool Connected() const { return client_ >= 0; }
  // Clients that connected and then left (detach, kill or hang-up).
  int ClientsEnded() const { return clientsEnded_; }
  bool KillRequested() const { return killed_; }

 private:
  void Accept();
  void RefuseOthers();
  void ReadClient();
  void DropClient();
  bool SendAll(std::string_view bytes);

  Session& session_;
  StubHost& host_;
  ReverseExecution* reverse_;
  int listener_ = -1;
  int client_ = -1;
  std::uint16_t port_ = 0;
  std::unique_ptr<GdbBreakpoints> breaks_;
  std::unique_ptr<Dispatcher> dispatcher_;
  std::unique_ptr<Connection> connection_;
  SessionMonitor monitor_;  // outlives clients: a key held for a time is released after a detach too
  bool polling_ = false;
  bool hungUp_ = false;
  bool killed_ = false;
  int clientsEnded_ = 0;
};

}  // namespace hc11::gdb
