// The window's F9 path against the headless run of the same loop, in one
// process: the window (offscreen) must stay within 10% of headless. Then the
// time from "Arret" (F2) to the return of a long run.
//
//   build/bench/hc11flow-window-bench [STEPS]
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/gui/main_window.h"
#include "core/run_engine.h"
#include "debugger/session.h"

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

  hc11::UiHooks hooks;
  hc11::SilentMessages silent;
  hc11::Session headless(hooks, silent);
  headless.Load(loop);
  // The window counts coverage and records for going back; so does the
  // headless side here, so the ratio measures only what the window adds.
  headless.profiler().Enable(headless.machine(), true);
  headless.timeTravel().SetRecording(true);
  const double headlessRate = StepsPerSecond(steps, [&] {
    headless.machine().StepBudget = steps;
    hc11::RunCommand(headless.machine(), hc11::kModeRun, false);
  });

  hc11::gui::StartOptions options;
  options.settingsPath = dir.filePath("hc11flow.ini").toStdString();
  options.program = loop;
  hc11::gui::MainWindow window(silent, options);
  window.resize(1280, 800);
  window.show();
  window.Start();
  QAction* f9 = window.Action("Executer1");
  QAction* f2 = window.Action("Arret1");
  const double windowRate = StepsPerSecond(steps, [&] {
    window.session().machine().StepBudget = steps;
    f9->trigger();
  });

  // F2 200 ms into an endless run; the run must return within 150 ms.
  window.session().machine().StepBudget = 0;
  QElapsedTimer sinceF2;
  QTimer::singleShot(200, &window, [&] {
    sinceF2.start();
    f2->trigger();
  });
  f9->trigger();
  const double f2Ms = static_cast<double>(sinceF2.nsecsElapsed()) / 1e6;

  std::printf("headless: %.1f Msteps/s\n", headlessRate / 1e6);
  std::printf("window:   %.1f Msteps/s (%.1f%% of headless)\n", windowRate / 1e6,
              100 * windowRate / headlessRate);
  std::printf("F2 to stop: %.2f ms\n", f2Ms);
  window.close();
  return 0;
}
