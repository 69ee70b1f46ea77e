#include "app/gui/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace hc11::gui {

namespace {

bool Writable(const QString& dir) {
  return QFileInfo(dir).isDir() && QFileInfo(dir).isWritable();
}

// The demo's folder: installed beside the executable's prefix, or the source
// tree this build came from.
QString DemoFolder() {
  const QString app = QCoreApplication::applicationDirPath();
  for (const QString& dir : {app + "/../share/hc11flow/demo", QString(HC11_SOURCE_DEMO_DIR)}) {
    if (QFileInfo::exists(dir + "/demo.lst")) return QDir(dir).absolutePath();
  }
  return {};
}

}  // namespace

std::string DemoBase() {
  const QString folder = DemoFolder();
  if (folder.isEmpty()) return {};
  if (Writable(folder)) return (folder + "/demo").toStdString();
  const QString copy = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/demo";
  QDir().mkpath(copy);
  for (const char* name : {"demo.lst", "demo.HEX", "demo.asm"}) {
    if (!QFileInfo::exists(copy + "/" + name)) QFile::copy(folder + "/" + name, copy + "/" + name);
  }
  return (copy + "/demo").toStdString();
}

}  // namespace hc11::gui
