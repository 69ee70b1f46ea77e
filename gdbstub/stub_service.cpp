#include "gdbstub/stub_service.h"

#include <charconv>

namespace hc11::gdb {

std::optional<std::uint16_t> ParsePort(const std::string& text) {
  unsigned port = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (ec != std::errc() || end != text.data() + text.size() || port == 0 || port > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(port);
}

void StubService::Apply(bool on, const std::string& portText, Messages& messages) {
  if (polling_ > 0) {
    pending_ = Request{on, portText, &messages};
    return;
  }
  ApplyNow({on, portText, &messages});
}

void StubService::Poll() {
  if (server_ == nullptr) return;
  ++polling_;
  server_->Poll();
  --polling_;
  if (polling_ == 0 && pending_) {
    const Request r = *pending_;
    pending_.reset();
    ApplyNow(r);
  }
}

void StubService::ApplyNow(const Request& r) {
  const bool on = r.on;
  const std::string& portText = r.port;
  Messages& messages = *r.messages;
  if (!on) {
    server_.reset();
    return;
  }
  const auto port = ParsePort(portText);
  if (!port) {
    server_.reset();
    messages.Show(MsgKind::Error, "Erreur", "Serveur GDB: port invalide '" + portText + "'");
    return;
  }
  if (server_ != nullptr && server_->port() == *port) return;
  server_.reset();  // a new port: the old listener goes first
  auto server = std::make_unique<Server>(session_, host_, reverse_);
  std::string error;
  if (!server->Listen(kLoopback, *port, error)) {
    messages.Show(MsgKind::Error, "Erreur", "Serveur GDB: " + error);
    return;
  }
  server_ = std::move(server);
}

}  // namespace hc11::gdb
