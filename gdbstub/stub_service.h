// The window's "Serveur GDB": a server that follows the Options mark and the
// "PortGdb" setting, always on 127.0.0.1. The window polls it from a timer
// and from the run loop's event pump.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/messages.h"
#include "debugger/session.h"
#include "gdbstub/server.h"

namespace hc11::gdb {

inline constexpr const char* kServerMark = "ServeurGdb";
inline constexpr const char* kPortSetting = "PortGdb";

// A port setting as a number 1 to 65535.
std::optional<std::uint16_t> ParsePort(const std::string& text);

class StubService {
 public:
  // `reverse`, when given, offers GDB the reverse packets (see reverse.h).
  StubService(Session& session, StubHost& host, ReverseExecution* reverse = nullptr)
      : session_(session), host_(host), reverse_(reverse) {}

  // Starts the server (or moves it to a new port) when `on`, stops it
  // otherwise. A bad or taken port is reported and leaves no server. Asked
  // from inside a run that GDB started, it waits until that run has been
  // answered.
  void Apply(bool on, const std::string& portText, Messages& messages);
  bool Listening() const { return server_ != nullptr; }
  std::uint16_t Port() const { return server_ != nullptr ? server_->port() : 0; }
  bool Connected() const { return server_ != nullptr && server_->Connected(); }
  void Poll();

 private:
  struct Request {
    bool on;
    std::string port;
    Messages* messages;
  };
  void ApplyNow(const Request& r);

  Session& session_;
  StubHost& host_;
  ReverseExecution* reverse_;
  std::unique_ptr<Server> server_;
  int polling_ = 0;  // Poll calls on the stack (a GDB run polls again inside)
  std::optional<Request> pending_;
};

}  // namespace hc11::gdb
