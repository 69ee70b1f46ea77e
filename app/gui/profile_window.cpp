#include "app/gui/profile_window.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace hc11::gui {

ProfileWindow::ProfileWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("FProfil");
  setWindowTitle("Profil");
  auto* layout = new QVBoxLayout(this);
  list_ = new QTreeWidget(this);
  list_->setObjectName("ListProfil");
  list_->setRootIsDecorated(false);
  list_->setColumnCount(static_cast<int>(std::size(kProfileColumns)));
  QStringList headers;
  for (const char* c : kProfileColumns) headers << QString::fromUtf8(c);
  list_->setHeaderLabels(headers);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  auto* reset = new QPushButton(QString::fromUtf8("Remise à zéro"), this);
  reset->setObjectName("BtRazProfil");
  auto* lcov = new QPushButton(QString::fromUtf8("Exporter lcov…"), this);
  lcov->setObjectName("BtExporterLcov");
  report_ = new QPushButton(QString::fromUtf8("Rapport HTML…"), this);
  report_->setObjectName("BtRapportHtml");
  buttons->addWidget(reset);
  buttons->addStretch();
  buttons->addWidget(lcov);
  buttons->addWidget(report_);
  layout->addLayout(buttons);
  connect(reset, &QPushButton::clicked, this, [this] {
    if (OnReset) OnReset();
    Refresh();
  });
  connect(lcov, &QPushButton::clicked, this, [this] {
    if (OnExportLcov) OnExportLcov();
  });
  connect(report_, &QPushButton::clicked, this, [this] {
    if (OnHtmlReport) OnHtmlReport();
  });
  connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    // The "(hors fonction)" row has no sheet to show.
    if (item != nullptr && OnShowFunction && !item->data(0, Qt::UserRole).toBool())
      OnShowFunction(item->text(0).toStdString());
  });
  ChooseFile = [this](const QString& caption, const QString& suggested) {
    return QFileDialog::getSaveFileName(this, caption, suggested, "lcov (*.info)").toStdString();
  };
  ChooseFolder = [this](const QString& caption, const QString& suggested) {
    // The suggested folder is made so that the chooser can offer it, and
    // removed again (when still empty) if another one is chosen.
    const bool made = !QDir(suggested).exists() && QDir().mkpath(suggested);
    const QString chosen = QFileDialog::getExistingDirectory(this, caption, suggested);
    if (made && QDir::cleanPath(chosen) != QDir::cleanPath(suggested)) QDir().rmdir(suggested);
    return chosen.toStdString();
  };
  resize(520, 320);
}

void ProfileWindow::Refresh() {
  report_->setVisible(ReportAvailable && ReportAvailable());
  list_->clear();
  if (!Rows) return;
  for (const ProfileListRow& row : Rows()) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(row.name));
    item->setData(0, Qt::UserRole, row.outside);
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
      item->setText(static_cast<int>(i + 1), QString::fromStdString(row.cells[i]));
      item->setTextAlignment(static_cast<int>(i + 1), Qt::AlignRight);
    }
  }
}

void ProfileWindow::PlaceOver(const QMainWindow& main) {
  // Left to itself the tool window opens at the screen's corner, over the
  // main window's menu bar; it goes on the right, under the top bar.
  const QScreen* screen = main.screen();
  const QRect avail = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  const QRect frame = frameGeometry();
  const QSize extra = frame.size() - size();  // the title bar and borders
  const QRect inner = main.geometry();
  const int menuBottom = main.menuBar()->mapToGlobal(QPoint(0, main.menuBar()->height())).y();
  int x = inner.right() - frame.width() - 24;
  int y = menuBottom + 60;
  x = std::clamp(x, avail.left(), std::max(avail.left(), avail.right() + 1 - frame.width()));
  y = std::clamp(y, avail.top(), std::max(avail.top(), avail.bottom() + 1 - frame.height()));
  if (frame.height() > avail.height()) resize(width(), std::max(120, avail.height() - extra.height()));
  move(x, y);
}

}  // namespace hc11::gui
