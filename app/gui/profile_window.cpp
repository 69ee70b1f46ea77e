#include "app/gui/profile_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

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
  auto* reset = new QPushButton(QString::fromUtf8("Remise à zéro"), this);
  reset->setObjectName("BtRazProfil");
  layout->addWidget(reset);
  connect(reset, &QPushButton::clicked, this, [this] {
    if (OnReset) OnReset();
    Refresh();
  });
  connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    // The "(hors fonction)" row has no sheet to show.
    if (item != nullptr && OnShowFunction && !item->data(0, Qt::UserRole).toBool())
      OnShowFunction(item->text(0).toStdString());
  });
  resize(520, 320);
}

void ProfileWindow::Refresh() {
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

}  // namespace hc11::gui
