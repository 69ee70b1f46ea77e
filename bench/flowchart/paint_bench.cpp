// Painting the demo's largest sheet as the window does: the clear layout,
// comments shown, the flowchart font, the bitmap sized to the sheet. A
// repaint with relayout places every box and routes every jump again before
// painting (what a build, a toggled option or a dragged box costs); a plain
// repaint paints what is placed (what scrolling or a step costs). Target:
// under 20 ms each. Runs offscreen.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/messages.h"
#include "flowchart/paint/flow_bitmap.h"
#include "flowchart/paint/flow_font.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/view/display_state.h"
#include "listing/listing_loader.h"

namespace {

// The demo loaded, with the sheet of its routine of most boxes built.
struct DemoSheet {
  hc11::SilentMessages messages;
  hc11::FlowFont font;
  hc11::QtTextMetrics metrics{font};
  hc11::Listing listing;
  std::unique_ptr<hc11::Flowchart> sheet;
  std::string name;

  bool Load() {
    std::uint16_t startPC = 0;
    if (!hc11::ReadListing(listing, HC11_SOURCE_DIR "/examples/demo/demo", startPC, messages, false))
      return false;
    hc11::ConvertAll(listing);
    sheet = std::make_unique<hc11::Flowchart>(listing, messages, metrics);
    sheet->BuildLabelIndex();
    int most = 0;
    for (const auto& [routine, entry] : listing.FunctionList.entries)
      if (sheet->BuildFlowchart(routine) && sheet->Boxes.Count() > most) {
        most = sheet->Boxes.Count();
        name = routine;
      }
    return !name.empty() && sheet->BuildFlowchart(name);
  }
};

void PaintDemoLargest(benchmark::State& state, bool relayout) {
  DemoSheet demo;
  if (!demo.Load()) {
    state.SkipWithError("no demo listing");
    return;
  }
  hc11::Flowchart& sheet = *demo.sheet;
  hc11::FlowDisplay display;
  display.SetShowComments(true);
  hc11::FlowBitmap bitmap(demo.font.Font());
  // As the view's repaint: the bitmap follows the sheet's size, and a
  // sheet that grew while placing is painted a second time.
  for (auto _ : state) {
    bitmap.Resize(sheet.PicW, sheet.PicH);
    bitmap.Paint(sheet, display, relayout);
    if (sheet.SheetOverflow) {
      sheet.SheetOverflow = false;
      bitmap.Resize(sheet.PicW, sheet.PicH);
      bitmap.Paint(sheet, display, false);
    }
    benchmark::DoNotOptimize(bitmap.Image().constBits());
  }
  state.SetLabel(demo.name);
  state.counters["boxes"] = sheet.Boxes.Count();
  state.counters["width"] = sheet.PicW;
  state.counters["height"] = sheet.PicH;
}

void DemoLargestPaint(benchmark::State& state) {
  PaintDemoLargest(state, state.range(0) != 0);
}
BENCHMARK(DemoLargestPaint)->ArgName("relayout")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
