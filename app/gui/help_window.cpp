#include "app/gui/help_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>
#include <QVBoxLayout>
#include <vector>

#include "workbench/help_page.h"

namespace hc11::gui {

namespace {

QString Plain(QString text) {
  return text.remove('&');
}

void AddKeys(std::vector<HelpKey>& keys, const QString& menu, const QList<QAction*>& actions) {
  for (QAction* a : actions) {
    if (!a->isVisible() || a->isSeparator()) continue;
    if (a->menu() != nullptr) {
      AddKeys(keys, Plain(a->text()), a->menu()->actions());
      continue;
    }
    for (const QKeySequence& k : a->shortcuts()) {
      const QString command = menu.isEmpty() ? Plain(a->text()) : menu + " / " + Plain(a->text());
      keys.push_back({k.toString(QKeySequence::NativeText).toStdString(), command.toStdString()});
    }
  }
}

}  // namespace

std::string DocumentationUrl() {
  const QString app = QCoreApplication::applicationDirPath();
  for (const QString& file : {app + "/../share/doc/hc11flow/README.md", QString(HC11_SOURCE_README)}) {
    const QFileInfo info(file);
    if (info.exists()) return QUrl::fromLocalFile(info.absoluteFilePath()).toString().toStdString();
  }
  return {};
}

HelpWindow::HelpWindow(QMainWindow& main) : QWidget(&main, Qt::Tool), main_(main) {
  setObjectName("FAide");
  setWindowTitle("Aide");
  auto* layout = new QVBoxLayout(this);
  page_ = new QTextBrowser(this);
  page_->setObjectName("TexteAide");
  page_->setOpenExternalLinks(true);
  layout->addWidget(page_);
  resize(560, 520);
}

void HelpWindow::Refresh() {
  std::vector<HelpKey> keys;
  AddKeys(keys, {}, main_.menuBar()->actions());
  page_->setHtml(QString::fromStdString(HelpPageHtml(keys, DocumentationUrl())));
}

}  // namespace hc11::gui
