// An in-process stub over loopback, polled by a thread of its own as the
// window's timer polls it, on a session of the loop program.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gdbstub/controller_host.h"
#include "gdbstub/recorded_reverse.h"
#include "gdbstub/server.h"
#include "tests/gdbstub/gdb_client.h"
#include "tests/gdbstub/gdb_fixture.h"

namespace hc11::test {

// The session's host: the run loop's event pump polls the server.
class PollingHooks : public RecordingHooks {
 public:
  void ProcessEvents() override {
    if (server != nullptr) server->Poll();
  }
  gdb::Server* server = nullptr;
};

// Keeps what the window would show of the breakpoint list after each change.
class ListWatchingHost : public gdb::ControllerHost {
 public:
  explicit ListWatchingHost(Controller& c) : ControllerHost(c), session_(c.session()) {}
  void BreaksChanged() override {
    ControllerHost::BreaksChanged();
    std::lock_guard lock(mutex);
    shown = session_.breakpoints().Lines();
  }
  std::vector<std::string> Shown() {
    std::lock_guard lock(mutex);
    return shown;
  }
  std::mutex mutex;
  std::vector<std::string> shown;

 private:
  Session& session_;
};

class ServerTest : public ::testing::Test {
 protected:
  // `recordedReverse`: "bs" and "bc" over the session's own record.
  void Start(gdb::ReverseExecution* reverse = nullptr, bool recordedReverse = false) {
    controller = std::make_unique<Controller>(hooks, messages);
    session = &controller->session();
    session->SetUseWorkspace(false);
    session->Load(LoopProgramCopy().string());
    if (recordedReverse) {
      recorded = std::make_unique<gdb::RecordedReverse>(*controller);
      reverse = recorded.get();
    }
    if (prepare) prepare(*session);
    host = std::make_unique<ListWatchingHost>(*controller);
    server = std::make_unique<gdb::Server>(*session, *host, reverse);
    std::string error;
    ASSERT_TRUE(server->Listen(gdb::kLoopback, 0, error)) << error;
    hooks.server = server.get();
    poller = std::thread([this] {
      while (!stop) server->WaitAndPoll(20);
    });
  }
  // Stops the server's thread; the session may be inspected afterwards. The
  // client goes first, so a run it left going ends.
  void Stop() {
    if (!poller.joinable()) return;
    client.Close();
    stop = true;
    poller.join();
  }
  void TearDown() override {
    Stop();
    client.Close();
  }

  // Runs on the session before the server starts (limits, budgets).
  std::function<void(Session&)> prepare;
  PollingHooks hooks;
  RecordingMessages messages;
  std::unique_ptr<Controller> controller;
  Session* session = nullptr;
  std::unique_ptr<gdb::RecordedReverse> recorded;
  std::unique_ptr<ListWatchingHost> host;
  std::unique_ptr<gdb::Server> server;
  std::thread poller;
  std::atomic<bool> stop = false;
  GdbClient client;
};

}  // namespace hc11::test
