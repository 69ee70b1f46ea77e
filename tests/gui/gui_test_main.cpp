// One QApplication for every GUI test, offscreen unless the caller chose a
// platform; Qt's notices about the offscreen platform and the missing sound
// server are dropped so failures stand out.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

namespace {
void OnlyCritical(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(OnlyCritical);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
