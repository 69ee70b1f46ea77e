// A state file saved and loaded back: in memory (the format alone) and
// through the controller's files, as the window's menu and the CLI use them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"
#include "debugger/state_file.h"

namespace {

struct Rig {
  Rig() {
    c.session().SetUseWorkspace(false);
    c.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    c.machine().StepBudget = 200000;
    c.Run(hc11::RunKind::Run);  // a board that has done something
  }
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller c{hooks, messages};
};

void BM_StateEncodeDecode(benchmark::State& state) {
  Rig rig;
  hc11::Session& s = rig.c.session();
  for (auto _ : state) {
    const std::vector<std::uint8_t> bytes = hc11::EncodeState(s.machine(), s.board(), s.CodeImageDigest());
    const hc11::StateFileResult r = hc11::DecodeState(bytes, s.CodeImageDigest(), s.machine(), s.board(), "");
    if (!r.ok()) state.SkipWithError(r.message.c_str());
  }
}
BENCHMARK(BM_StateEncodeDecode)->Unit(benchmark::kMicrosecond);

// The file is written whole (temporary file, flush, rename) where the
// temporary folder is.
void BM_StateSaveLoad(benchmark::State& state) {
  Rig rig;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("hc11flow_bench_" + std::to_string(::getpid()) + ".etat"))
          .string();
  for (auto _ : state) {
    hc11::StateFileResult r = rig.c.SaveState(path);
    if (r.ok()) r = rig.c.LoadState(path);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_StateSaveLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
