// The layout of a generated command dispatcher: one routine testing a value
// against 100 commands, each branching to a handler of its own, so that the
// sheet has about 300 boxes and every handler lands on the ones beside it.
// Timed with the literal layout and with the de-overlap pass.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/flowchart/listing_generator.h"
#include "core/messages.h"
#include "core/text_util.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "listing/listing_loader.h"

namespace {

constexpr int kCommands = 100;

constexpr auto Lst = hc11::bench::ListingLine;

std::string Dispatcher() {
  std::string text;
  unsigned addr = 0x8000;
  int n = 0;
  text += Lst(addr, "", ++n, "        org     $8000");
  text += Lst(addr, "96 40", ++n, "main    ldA     $40");
  addr += 2;
  for (int k = 0; k < kCommands; ++k) {
    text += Lst(addr, "81 01", ++n, hc11::Format("        cmpA    #%d", k));
    text += Lst(addr + 2, "27 00", ++n, hc11::Format("        beq     cmd%d", k));
    addr += 4;
  }
  text += Lst(addr++, "39", ++n, "        ret");
  for (int k = 0; k < kCommands; ++k) {
    text += Lst(addr, "C6 01", ++n, hc11::Format("cmd%d    ldB     #%d ; command %d", k, k, k));
    text += Lst(addr + 2, "D7 41", ++n, "        stB     $41");
    text += Lst(addr + 4, "86 01", ++n, "        ldA     #1");
    text += Lst(addr + 6, "BD 90 00", ++n, "        call    reply");
    text += Lst(addr + 9, "39", ++n, "        ret");
    addr += 10;
  }
  text += Lst(addr, "39", ++n, "reply   ret");
  return text + Lst(addr + 1, "", ++n, "        end");
}

void DispatcherSheet(benchmark::State& state) {
  hc11::SilentMessages messages;
  const hc11::FixedTextMetrics metrics;
  hc11::Listing listing;
  std::uint16_t startPC = 0;
  hc11::ParseListingText(listing, Dispatcher(), startPC, messages, false);
  hc11::ConvertAll(listing);
  hc11::Flowchart sheet(listing, messages, metrics);
  sheet.NoOverlapLayout = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(sheet.BuildFlowchart("main"));
  state.counters["boxes"] = sheet.Boxes.Count();
  state.counters["width"] = sheet.PicW;
  state.counters["height"] = sheet.PicH;
}
BENCHMARK(DispatcherSheet)->ArgName("clear")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The demo's largest sheet (serial_command, 45 boxes, 16 jumps) built and
// laid out in the clear layout, as a repaint with relayout does it.
void DemoLargestSheet(benchmark::State& state) {
  hc11::SilentMessages messages;
  const hc11::FixedTextMetrics metrics;
  hc11::Listing listing;
  std::uint16_t startPC = 0;
  if (!hc11::ReadListing(listing, HC11_SOURCE_DIR "/examples/demo/demo", startPC, messages, false)) {
    state.SkipWithError("no demo listing");
    return;
  }
  hc11::ConvertAll(listing);
  hc11::Flowchart sheet(listing, messages, metrics);
  sheet.BuildLabelIndex();
  for (auto _ : state) benchmark::DoNotOptimize(sheet.BuildFlowchart("serial_command"));
  state.counters["boxes"] = sheet.Boxes.Count();
}
BENCHMARK(DemoLargestSheet)->Unit(benchmark::kMillisecond);

}  // namespace
