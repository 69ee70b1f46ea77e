// The debug adapter: the round trip of one "next" (request handled to its
// "stopped" event sent), and "continue" to a breakpoint about 10^7 steps
// away, set beside the same run given straight to the controller (the
// adapter must keep >= 90% of its speed; it records for going back).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/messages.h"
#include "dap/adapter.h"
#include "debugger/controller.h"
#include "tools/lstgen/generate.h"

namespace {

// 76 x 65536 turns of the inner loop, then `fin`.
constexpr const char* kProgram = R"(        org     $E000
debprog_
        ldS     #$00FF
        ldB     #76
debut
        ldX     #0
boucle
        incX
        bne     boucle
        decB
        bne     debut
fin
        jr      fin

        org     $FFFE
        dw      debprog_
        end
)";

const std::string& ProgramListing() {
  static const std::string listing = [] {
    const auto dir = std::filesystem::temp_directory_path() / "hc11flow_dap_bench";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "bench.asm") << kProgram;
    std::ostringstream messages;
    hc11::lstgen::GenerateFiles((dir / "bench.asm").string(), (dir / "bench").string(), messages);
    return (dir / "bench.lst").string();
  }();
  return listing;
}

struct Client {
  bool stopped = false;
  hc11::dap::Adapter adapter{[this](const hc11::dap::Json& m) {
    if (m.value("event", "") == "stopped") stopped = true;
  }};
  int seq = 0;
  void Request(const std::string& command, const hc11::dap::Json& args = hc11::dap::Json::object()) {
    adapter.Handle({{"seq", ++seq}, {"type", "request"}, {"command", command}, {"arguments", args}});
  }
  Client() {
    Request("initialize");
    Request("launch", {{"program", ProgramListing()}, {"workspace", false}, {"stopOnEntry", true}});
    Request("configurationDone");
  }
};

void BM_DapNextRoundTrip(benchmark::State& state) {
  Client c;
  for (auto _ : state) {
    c.stopped = false;
    c.Request("next", {{"threadId", 1}});
    if (!c.stopped) state.SkipWithError("no stopped event");
  }
}
BENCHMARK(BM_DapNextRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_DapContinueToBreakpoint(benchmark::State& state) {
  Client c;
  c.Request("setFunctionBreakpoints", {{"breakpoints", {{{"name", "fin"}}}}});
  for (auto _ : state) {
    state.PauseTiming();
    c.Request("restart");
    state.ResumeTiming();
    c.stopped = false;
    c.Request("continue", {{"threadId", 1}});
    if (!c.stopped) state.SkipWithError("no stopped event");
  }
}
BENCHMARK(BM_DapContinueToBreakpoint)->Unit(benchmark::kMillisecond);

void BM_ControllerRunToBreakpoint(benchmark::State& state) {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller c(hooks, messages);
  hc11::Session& s = c.session();
  s.SetUseWorkspace(false);
  const std::string base = hc11::Session::BaseOf(ProgramListing());
  for (auto _ : state) {
    state.PauseTiming();
    c.Load(base);
    const auto fin = s.SymbolAddress("fin");
    s.breakpoints().Append({"fin", fin.value_or(0), 'C', 2}, true);
    state.ResumeTiming();
    c.Run(hc11::RunKind::Run);
  }
}
BENCHMARK(BM_ControllerRunToBreakpoint)->Unit(benchmark::kMillisecond);

}  // namespace
