// A fresh main window per test on a copy of an example program, in a
// temporary folder (loads write beside the listing), with recorded messages.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/gui/main_window.h"
#include "tests/support/recording.h"

namespace hc11::test {

// Records messages and prompts; a prompt gets `answer` (or is cancelled).
class PromptingMessages : public RecordingMessages {
 public:
  std::optional<std::string> Prompt(std::string_view title, std::string_view text,
                                    std::string_view defaultValue) override {
    prompts.push_back(std::string(title) + "|" + std::string(text) + "|" + std::string(defaultValue));
    return answer;
  }
  // A yes/no question gets `confirmAnswer`.
  bool Confirm(std::string_view caption, std::string_view text) override {
    confirms.push_back(std::string(caption) + "|" + std::string(text));
    return confirmAnswer;
  }
  std::optional<std::string> answer;
  std::vector<std::string> prompts;
  bool confirmAnswer = true;
  std::vector<std::string> confirms;
};

class GuiTest : public ::testing::Test {
 protected:
  // Copies examples/NAME into the temporary folder; returns its base path.
  std::string CopyExample(const std::string& name) {
    const QString from = QString(HC11_SOURCE_DIR) + "/examples/" + QString::fromStdString(name) + "/";
    for (const char* ext : {".lst", ".HEX"}) {
      const QString file = QString::fromStdString(name) + ext;
      QFile::copy(from + file, dir.filePath(file));
    }
    return dir.filePath(QString::fromStdString(name)).toStdString();
  }

  // Opens the window as start-up does, on PROGRAM or on the demo.
  gui::MainWindow& Open(const std::string& program, const std::string& demo = {}) {
    gui::StartOptions options;
    options.settingsPath = dir.filePath("hc11flow.ini").toStdString();
    options.program = program;
    options.demoBase = demo;
    window = std::make_unique<gui::MainWindow>(messages, options);
    window->resize(1280, 800);
    window->show();
    window->Start();
    return *window;
  }

  void Trigger(const char* action) {
    QAction* a = window->Action(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }
  QString Label(const char* name) { return window->findChild<QLabel*>(name)->text(); }

  QTemporaryDir dir;
  PromptingMessages messages;
  std::unique_ptr<gui::MainWindow> window;
};

}  // namespace hc11::test
