// The window's F9 path against the headless run of the same loop, in one
// process: the window (offscreen) must stay within 10% of headless. Then the
// time from "Arret" (F2) to the return of a long run.
//
//   build/bench/hc11flow-window-bench [STEPS]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/window_and_headless.h"

namespace {

constexpr int kRounds = 5;

std::string CopyLoop(const QTemporaryDir& dir) {
  for (const char* file : {"loop.lst", "loop.HEX"})
    QFile::copy(QString(HC11_SOURCE_DIR) + "/examples/loop/" + file, dir.filePath(file));
  return dir.filePath("loop").toStdString();
}

// Best steps per second over the rounds.
template <typename Run>
double StepsPerSecond(std::uint64_t steps, Run run) {
  double best = 0;
  for (int i = 0; i < kRounds; ++i) {
    QElapsedTimer t;
    t.start();
    run();
    best = std::max(best, static_cast<double>(steps) * 1e9 / static_cast<double>(t.nsecsElapsed()));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::uint64_t steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20'000'000;
  QTemporaryDir dir;
  const std::string loop = CopyLoop(dir);

  hc11::bench::WindowAndHeadless both(loop, dir);
  const double headlessRate = StepsPerSecond(steps, [&] { both.RunHeadless(steps); });
  const double windowRate = StepsPerSecond(steps, [&] { both.RunWindow(steps); });

  // F2 200 ms into an endless run; the run must return within 150 ms.
  QElapsedTimer sinceF2;
  QTimer::singleShot(200, &both.window(), [&] {
    sinceF2.start();
    both.window().Action("Arret1")->trigger();
  });
  both.RunWindow(0);
  const double f2Ms = static_cast<double>(sinceF2.nsecsElapsed()) / 1e6;

  std::printf("headless: %.1f Msteps/s\n", headlessRate / 1e6);
  std::printf("window:   %.1f Msteps/s (%.1f%% of headless)\n", windowRate / 1e6,
              100 * windowRate / headlessRate);
  std::printf("F2 to stop: %.2f ms\n", f2Ms);
  return 0;
}
