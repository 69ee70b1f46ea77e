// One program run by F9 in the window (offscreen) and by the headless run
// loop, in one process, so that benchmarks can compare like with like.
#pragma once

#include <QAction>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>

#include "app/gui/main_window.h"
#include "core/run_engine.h"
#include "debugger/session.h"

namespace hc11::bench {

class WindowAndHeadless {
 public:
  WindowAndHeadless(const std::string& program, const QTemporaryDir& dir) {
    headless_.Load(program);
    // The window counts coverage and records for going back; so does the
    // headless side here, so the ratio measures only what the window adds.
    headless_.profiler().Enable(headless_.machine(), true);
    headless_.timeTravel().SetRecording(true);
    gui::StartOptions options;
    options.settingsPath = dir.filePath("hc11flow.ini").toStdString();
    options.program = program;
    window_ = std::make_unique<gui::MainWindow>(silent_, options);
    window_->resize(1280, 800);
    window_->show();
    window_->Start();
  }
  ~WindowAndHeadless() { window_->close(); }

  void RunHeadless(std::uint64_t steps) {
    headless_.machine().StepBudget = steps;
    RunCommand(headless_.machine(), kModeRun, false);
  }
  // F9 with a step budget; 0 runs until something stops it.
  void RunWindow(std::uint64_t steps) {
    window_->session().machine().StepBudget = steps;
    window_->Action("Executer1")->trigger();
  }
  gui::MainWindow& window() { return *window_; }

 private:
  UiHooks hooks_;
  SilentMessages silent_;
  Session headless_{hooks_, silent_};
  std::unique_ptr<gui::MainWindow> window_;
};

}  // namespace hc11::bench
