// A program load as the window performs it, on a generated listing of about
// 10,000 lines and 300 routines (the largest of 1,000 lines): LoadListing, ConvertAll, BuildLabelIndex,
// then the largest routine's sheet built and laid out. The parts are timed
// on their own too, to show where the time goes. Two large programs check
// that loads grow in step with their size: 40,000 routines in about a
// million lines, and a symbol section of 200,000 names.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/flowchart/listing_generator.h"
#include "core/messages.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "listing/listing_loader.h"

namespace {

namespace fs = std::filesystem;

// A generated program, written once into a temporary folder.
std::string WriteProgram(const std::string& name, const std::string& text) {
  const fs::path dir = fs::temp_directory_path() / "hc11flow-bench-flowchart";
  fs::create_directories(dir);
  std::ofstream(dir / (name + ".lst"), std::ios::binary) << text;
  return (dir / name).string();
}

const std::string& ProgramPath() {
  static const std::string path =
      WriteProgram("gen", hc11::bench::ListingGenerator().Generate(300, 1000, 10000));
  return path;
}

const std::string& ManyFunctionsPath() {
  static const std::string path =
      WriteProgram("many", hc11::bench::ListingGenerator().Generate(40000, 1000, 1000000, true));
  return path;
}

const std::string& ManySymbolsPath() {
  static const std::string path =
      WriteProgram("symbols", hc11::bench::ListingGenerator().GenerateSymbols(200000));
  return path;
}

void LoadAndBuild(benchmark::State& state, const std::string& program, bool readSymbols) {
  hc11::SilentMessages messages;
  const hc11::FixedTextMetrics metrics;
  for (auto _ : state) {
    hc11::Listing listing;
    std::uint16_t startPC = 0;
    hc11::LoadListing(listing, program, startPC, messages, readSymbols);
    hc11::ConvertAll(listing);
    hc11::Flowchart sheet(listing, messages, metrics);
    sheet.BuildLabelIndex();
    sheet.LoadCoordFile(program);
    benchmark::DoNotOptimize(sheet.BuildFlowchart(readSymbols ? "main" : "big"));
    state.counters["lines"] = static_cast<double>(listing.LineList.size());
    state.counters["functions"] = static_cast<double>(listing.FunctionList.entries.size());
    state.counters["symbols"] = static_cast<double>(listing.Symbols.ListSymbI.size());
    state.counters["boxes"] = sheet.Boxes.Count();
  }
}

void WholeLoad(benchmark::State& state) {
  LoadAndBuild(state, ProgramPath(), false);
}
BENCHMARK(WholeLoad)->Unit(benchmark::kMillisecond);

// Targets: each under 5 s.
void ManyFunctionsLoad(benchmark::State& state) {
  LoadAndBuild(state, ManyFunctionsPath(), false);
}
BENCHMARK(ManyFunctionsLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

void ManySymbolsLoad(benchmark::State& state) {
  LoadAndBuild(state, ManySymbolsPath(), true);
}
BENCHMARK(ManySymbolsLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

// The loaded and rewritten program, shared by the part benchmarks.
struct Loaded {
  Loaded() {
    std::uint16_t startPC = 0;
    hc11::LoadListing(listing, ProgramPath(), startPC, messages, false);
    hc11::ConvertAll(listing);
  }
  hc11::Listing listing;
  hc11::SilentMessages messages;
  hc11::FixedTextMetrics metrics;
};

void LoadAndConvert(benchmark::State& state) {
  hc11::SilentMessages messages;
  for (auto _ : state) {
    hc11::Listing listing;
    std::uint16_t startPC = 0;
    hc11::LoadListing(listing, ProgramPath(), startPC, messages, false);
    hc11::ConvertAll(listing);
    benchmark::DoNotOptimize(listing.LineList.data());
  }
}
BENCHMARK(LoadAndConvert)->Unit(benchmark::kMillisecond);

void LabelIndex(benchmark::State& state) {
  Loaded l;
  hc11::Flowchart sheet(l.listing, l.messages, l.metrics);
  for (auto _ : state) sheet.BuildLabelIndex();
  state.counters["labels"] = static_cast<double>(l.listing.LabelList.size());
}
BENCHMARK(LabelIndex)->Unit(benchmark::kMillisecond);

void LargestSheet(benchmark::State& state) {
  Loaded l;
  hc11::Flowchart sheet(l.listing, l.messages, l.metrics);
  for (auto _ : state) benchmark::DoNotOptimize(sheet.BuildFlowchart("big"));
  state.counters["boxes"] = sheet.Boxes.Count();
  state.counters["lines"] = sheet.Lines.Count();
}
BENCHMARK(LargestSheet)->Unit(benchmark::kMillisecond);

}  // namespace
