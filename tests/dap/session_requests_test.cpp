// The session's requests and the execution requests: what the client is told
// (responses, then "stopped" events with their reasons) for each way a
// command ends.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/dap/dap_fixture.h"

namespace hc11::test {
namespace {

using dap::Json;

TEST_F(DapTest, InitializeTellsWhatTheAdapterDoes) {
  const Json caps = Body("initialize", {{"adapterID", "hc11flow"}});
  for (const char* c :
       {"supportsConfigurationDoneRequest", "supportsFunctionBreakpoints", "supportsConditionalBreakpoints",
        "supportsHitConditionalBreakpoints", "supportsLogPoints", "supportsInstructionBreakpoints",
        "supportsDataBreakpoints", "supportsStepBack", "supportsSetVariable", "supportsRestartRequest",
        "supportsTerminateRequest", "supportsEvaluateForHovers", "supportsReadMemoryRequest",
        "supportsWriteMemoryRequest", "supportsDisassembleRequest", "supportsLoadedSourcesRequest"})
    EXPECT_EQ(caps.value(c, false), true) << c;
  // "initialized" waits for a program to take the breakpoints.
  EXPECT_TRUE(Events("initialized").empty());
  Launch();
  EXPECT_EQ(Events("initialized").size(), 1u);
}

TEST_F(DapTest, MalformedAndUnknownMessagesAreRefusedAndTheSessionGoesOn) {
  Launch();
  const struct {
    const char* what;
    Json message;
    const char* said;
  } cases[] = {
      {"unknown command",
       {{"seq", 50}, {"type", "request"}, {"command", "frobnicate"}},
       "unknown request 'frobnicate'"},
      {"not a request", {{"seq", 51}, {"type", "event"}, {"event", "x"}}, "not a request"},
      {"command not a string", {{"seq", 52}, {"type", "request"}, {"command", 7}}, "not a request"},
      {"argument of the wrong type",
       {{"seq", 53},
        {"type", "request"},
        {"command", "variables"},
        {"arguments", {{"variablesReference", "one"}}}},
       "bad arguments"},
      {"argument missing",
       {{"seq", 54}, {"type", "request"}, {"command", "readMemory"}, {"arguments", Json::object()}},
       "bad arguments"},
  };
  for (const auto& c : cases) {
    sent.clear();
    adapter.Handle(c.message);
    ASSERT_EQ(sent.size(), 1u) << c.what;
    EXPECT_EQ(sent[0]["type"], "response") << c.what;
    EXPECT_EQ(sent[0]["success"], false) << c.what;
    EXPECT_NE(sent[0]["message"].get<std::string>().find(c.said), std::string::npos)
        << c.what << ": " << sent[0]["message"];
    if (c.message.contains("seq")) {
      EXPECT_EQ(sent[0]["request_seq"], c.message["seq"]) << c.what;
    }
  }
  sent.clear();
  adapter.Refuse({dap::ReadFault::TooLarge, {}});
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["success"], false);
  EXPECT_EQ(sent[0]["message"], "message larger than 1 MiB");
  EXPECT_EQ(Body("threads")["threads"][0]["id"], 1);
}

TEST_F(DapTest, LaunchRefusesWhatItCannotOpenAndRequestsWaitForAProgram) {
  Body("initialize");
  EXPECT_EQ(Refused("stackTrace", {{"threadId", 1}}), "no program: launch one first");
  EXPECT_EQ(Refused("continue", {{"threadId", 1}}), "no program: launch one first");
  Program(kCountProgram);
  const struct {
    Json args;
    const char* said;
  } cases[] = {
      {Json::object(), "'program' (a listing or the program's base path) is required"},
      {{{"program", ""}}, "'program' (a listing or the program's base path) is required"},
      {{{"program", (dir / "absent.lst").string()}}, "cannot read"},
      {{{"program", listing}, {"exact", true}}, "exact mode"},
      {{{"program", listing}, {"serial", 7}}, "'serial' is a link address"},
      {{{"program", listing}, {"serial", "nowhere"}}, "serial: "},
      {{{"program", listing}, {"source", "hex"}}, "'source'"},
      {{{"program", listing}, {"settings", (dir / "none.ini").string()}}, "cannot read settings"},
  };
  for (const auto& c : cases) {
    const std::string said = Refused("launch", c.args);
    EXPECT_NE(said.find(c.said), std::string::npos) << c.args << ": " << said;
  }
  EXPECT_TRUE(Events("initialized").empty());
}

TEST_F(DapTest, StopOnEntryStopsBeforeTheFirstInstruction) {
  Launch({{"stopOnEntry", true}});
  const std::size_t from = sent.size();
  Body("configurationDone");
  const auto stops = Events("stopped", from);
  ASSERT_EQ(stops.size(), 1u);
  EXPECT_EQ(stops[0]["body"]["reason"], "entry");
  EXPECT_EQ(TopFrame()["line"], kLineLdS);
  EXPECT_EQ(machine().cpu.PC, 0xE000);
}

TEST_F(DapTest, RunCommandsAreAnsweredFirstThenTheirStopIsAnEvent) {
  Launch({{"stopOnEntry", true}});
  Body("configurationDone");
  LineBreakpoints({{{"line", kLineCallr}}});
  const std::size_t from = sent.size();
  const Json stop = StopAfter("continue");
  // The response comes before the event.
  std::size_t response = 0, event = 0;
  for (std::size_t i = from; i < sent.size(); ++i) {
    if (sent[i]["type"] == "response") response = i;
    if (sent[i].value("event", "") == "stopped") event = i;
  }
  EXPECT_LT(response, event);
  EXPECT_EQ(stop["reason"], "breakpoint");
  EXPECT_EQ(stop["threadId"], 1);
  EXPECT_EQ(TopFrame()["line"], kLineCallr);
}

TEST_F(DapTest, EachStepCommandEndsWhereItShould) {
  Launch({{"stopOnEntry", true}});
  Body("configurationDone");
  LineBreakpoints({{{"line", kLineCallr}}});
  StopAfter("continue");
  const struct {
    const char* command;
    const char* reason;
    int line;
  } steps[] = {
      {"stepIn", "step", kLineIncX},                  // into the call
      {"stepOut", "step", kLineJr},                   // "Remonter du SP": back after the call
      {"stepBack", "step", kLineCallr},               // back over the call, as next goes over it
      {"next", "step", kLineJr},                      // over the call
      {"next", "step", kLineLdB},                     // the jump back
      {"reverseContinue", "breakpoint", kLineCallr},  // back to the breakpoint
  };
  for (const auto& s : steps) {
    const Json stop = StopAfter(s.command);
    EXPECT_EQ(stop["reason"], s.reason) << s.command;
    EXPECT_EQ(TopFrame()["line"], s.line) << s.command;
  }
  // One instruction back when asked for instructions.
  StopAfter("stepIn");
  const Json back = StopAfter("stepBack", {{"threadId", 1}, {"granularity", "instruction"}});
  EXPECT_EQ(back["description"], "stop arrière");
  EXPECT_EQ(TopFrame()["line"], kLineCallr);
}

TEST_F(DapTest, AnErrorStopIsAnExceptionWithTheDesignedMessage) {
  Program(R"(        org     $E000
debprog_
        ldS     #$00FF
        ldA     #1
        stA     $8000
        jr      debprog_

        org     $FFFE
        dw      debprog_
        end
)",
          "fault");
  Launch();
  const std::size_t from = sent.size();
  Body("configurationDone");
  const auto stops = Events("stopped", from);
  ASSERT_EQ(stops.size(), 1u);
  const Json& stop = stops[0]["body"];
  EXPECT_EQ(stop["reason"], "exception");
  const StopEvent& last = adapter.controller()->LastStop();
  EXPECT_EQ(last.cause, StopCause::Error);
  EXPECT_EQ(stop["text"], last.message);
  EXPECT_EQ(stop["description"], last.text);
  EXPECT_FALSE(last.message.empty());
}

TEST_F(DapTest, PauseDuringARunStopsItAndIsAnsweredAtOnce) {
  Launch();
  int yields = 0;
  adapter.OnYield = [&] {
    // The server hands over what came during the run: a threads request is
    // answered at once, a stackTrace waits for the run's end, then the pause.
    if (++yields == 2) {
      EXPECT_TRUE(adapter.HandleDuringRun({{"seq", 90}, {"type", "request"}, {"command", "threads"}}));
      EXPECT_FALSE(adapter.HandleDuringRun({{"seq", 91}, {"type", "request"}, {"command", "stackTrace"}}));
      EXPECT_TRUE(adapter.HandleDuringRun({{"seq", 92}, {"type", "request"}, {"command", "pause"}}));
    }
  };
  const std::size_t from = sent.size();
  Body("configurationDone");
  EXPECT_EQ(yields, 2);
  std::vector<std::string> order;
  for (std::size_t i = from; i < sent.size(); ++i)
    order.push_back(sent[i]["type"] == "event" ? sent[i]["event"].get<std::string>()
                                               : sent[i]["command"].get<std::string>());
  EXPECT_EQ(order, (std::vector<std::string>{"configurationDone", "threads", "pause", "stopped"}));
  EXPECT_EQ(Events("stopped", from).back()["body"]["reason"], "pause");
}

TEST_F(DapTest, RestartLoadsTheProgramAgainWithTheClientsBreakpoints) {
  Launch({{"stopOnEntry", true}});
  Body("configurationDone");
  LineBreakpoints({{{"line", kLineStA}}});
  StopAfter("continue");
  machine().Memory[0x10] = 0x77;
  const std::size_t from = sent.size();
  Body("restart");
  ASSERT_EQ(Events("stopped", from).size(), 1u);
  EXPECT_EQ(Events("stopped", from)[0]["body"]["reason"], "entry");
  EXPECT_EQ(machine().cpu.PC, 0xE000);
  EXPECT_EQ(StopAfter("continue")["reason"], "breakpoint");
  EXPECT_EQ(TopFrame()["line"], kLineStA);
}

TEST_F(DapTest, TerminateAndDisconnectEndTheSession) {
  Launch();
  const std::size_t from = sent.size();
  Body("terminate");
  EXPECT_EQ(Events("terminated", from).size(), 1u);
  EXPECT_FALSE(adapter.Ended());
  Body("disconnect");
  EXPECT_TRUE(adapter.Ended());
}

TEST_F(DapTest, TheFirmwaresSerialBytesAreOutputOnceEvenAfterGoingBack) {
  const std::string demo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst";
  listing = demo;
  Launch({{"stopOnEntry", true}});
  Body("configurationDone");
  // main_loop's first line: the greeting has been sent by then.
  LineBreakpoints({{{"line", 285}}});
  std::size_t from = sent.size();
  StopAfter("continue");
  std::string out;
  for (const Json& e : Events("output", from))
    if (e["body"]["category"] == "stdout") out += e["body"]["output"];
  EXPECT_EQ(out, "VHF DEMO 1.0\\x0D\n");
  // A step back replays from a snapshot: nothing is transmitted again.
  from = sent.size();
  StopAfter("stepBack", {{"threadId", 1}, {"granularity", "instruction"}});
  for (const Json& e : Events("output", from)) EXPECT_NE(e["body"]["category"], "stdout") << e;
}

TEST_F(DapTest, ASerialLinkCarriesTheFirmwaresBytesToTheHostAndStillToTheEditor) {
  listing = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst";
  Launch({{"stopOnEntry", true}, {"serial", "tcp:0"}});
  std::uint16_t port = 0;
  for (const Json& e : Events("output")) {
    const std::string text = e["body"]["output"];
    if (const auto at = text.find("serial: tcp 127.0.0.1:"); at != std::string::npos)
      port = static_cast<std::uint16_t>(std::stoi(text.substr(at + 22)));
  }
  ASSERT_NE(port, 0) << "the link's address is told on the console";
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
  Body("configurationDone");
  LineBreakpoints({{{"line", 285}}});
  const std::size_t from = sent.size();
  StopAfter("continue");
  std::string host;
  while (host.find('\n') == std::string::npos) {
    pollfd p{client, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1) << "got only '" << host << "'";
    char buffer[64];
    const ssize_t n = ::read(client, buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    host.append(buffer, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(host, "VHF DEMO 1.0\r\n");
  std::string out;
  for (const Json& e : Events("output", from))
    if (e["body"]["category"] == "stdout") out += e["body"]["output"];
  EXPECT_EQ(out, "VHF DEMO 1.0\\x0D\n");
  ::close(client);
}

}  // namespace
}  // namespace hc11::test
