// Dragging a box on a sheet of about 500 boxes: each pointer move moves the
// box with its group and repaints the whole sheet with relayout, as the
// window does. The time per iteration is one move event; it must stay under
// 30 ms for the drag to feel smooth. Runs offscreen.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/flowchart/listing_generator.h"
#include "core/messages.h"
#include "core/text_util.h"
#include "flowchart/paint/flow_bitmap.h"
#include "flowchart/paint/flow_font.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/view/interaction.h"
#include "listing/listing_loader.h"

namespace {

constexpr int kCommands = 166;  // three boxes each, with the entry: about 500

constexpr auto Lst = hc11::bench::ListingLine;

// A routine testing a value against every command, each branching to a
// handler of its own.
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
    text += Lst(addr, "C6 01", ++n, hc11::Format("cmd%d    ldB     #%d", k, k));
    text += Lst(addr + 2, "D7 41", ++n, "        stB     $41");
    text += Lst(addr + 4, "39", ++n, "        ret");
    addr += 5;
  }
  return text + Lst(addr, "", ++n, "        end");
}

void DragMove(benchmark::State& state) {
  hc11::SilentMessages messages;
  const hc11::FlowFont font;
  const hc11::QtTextMetrics metrics(font);
  hc11::Listing listing;
  std::uint16_t startPC = 0;
  hc11::ParseListingText(listing, Dispatcher(), startPC, messages, false);
  hc11::ConvertAll(listing);
  hc11::Flowchart sheet(listing, messages, metrics);
  hc11::FlowDisplay display;
  sheet.BuildFlowchart("main");
  hc11::FlowBitmap bitmap(font.Font());
  bitmap.Resize(sheet.PicW, sheet.PicH);
  bitmap.Paint(sheet, display, true);

  // Grab a box in the middle of the sheet.
  const hc11::TRectangle& target = sheet.Boxes[sheet.Boxes.Count() / 2];
  const int x0 = target.Rect.Left + 3, y0 = target.Rect.Top + 3;
  hc11::SheetDrag drag(0);
  drag.ButtonDown(sheet, x0, y0);
  int step = 0;
  for (auto _ : state) {
    ++step;
    const int dx = (step % 40) - 20;  // back and forth, staying on the sheet
    drag.Move(sheet, x0 + dx, y0 + dx / 2);
    bitmap.Paint(sheet, display, true);
  }
  drag.ButtonUp(sheet);
  state.counters["boxes"] = sheet.Boxes.Count();
}
BENCHMARK(DragMove)->Unit(benchmark::kMillisecond);

}  // namespace
