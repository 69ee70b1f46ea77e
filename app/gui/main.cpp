// hc11flow [--settings FILE] [--screenshot DIR] [PROGRAM]: the debugger
// window. Without PROGRAM it opens the program of the last session, or the
// bundled demo on the first start.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/gui/app_paths.h"
#include "app/gui/board_panel.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_messages.h"

namespace {

constexpr const char* kUsage = "usage: hc11flow [--settings FILE] [--screenshot DIR] [PROGRAM]\n";

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("hc11flow");
  QApplication::setWindowIcon(QIcon::fromTheme("hc11flow"));
  hc11::gui::StartOptions options;
  QString screenshotDir;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == "--settings" && i + 1 < args.size()) {
      options.settingsPath = args[++i].toStdString();
    } else if (a == "--screenshot" && i + 1 < args.size()) {
      screenshotDir = args[++i];
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a.startsWith("--") || !options.program.empty()) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      options.program = a.toStdString();
    }
  }
  options.screenshot = !screenshotDir.isEmpty();
  options.demoBase = hc11::gui::DemoBase();

  hc11::gui::QtMessages messages;
  messages.SetUnattended(options.screenshot);
  hc11::gui::MainWindow window(messages, options);
  messages.SetParent(&window);
  int status = 0;
  if (screenshotDir.isEmpty()) {
    window.showMaximized();
  } else {
    window.resize(1280, 800);
    window.show();
  }
  window.Start();
  if (!screenshotDir.isEmpty()) {
    // Let the first paint happen, take both pictures, then close normally.
    QTimer::singleShot(200, &window, [&] {
      QString error;
      if (!window.SaveScreenshots(screenshotDir, error)) {
        std::fprintf(stderr, "hc11flow: %s\n", qPrintable(error));
        status = 1;
      }
      window.close();
    });
  }
  const int rc = QApplication::exec();
  return status != 0 ? status : rc;
}
