#include "app/gui/registers_pane.h"

#include <QHeaderView>

#include "app/gui/gui_fonts.h"

namespace hc11::gui {

RegistersPane::RegistersPane() : QTableWidget(0, 2) {
  setObjectName("ListRegistres");
  setHorizontalHeaderLabels({"Registre", "Valeur"});
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(true);
  verticalHeader()->setDefaultSectionSize(kCodeRowHeight + 4);
  setFont(CodeFont());
  setTabKeyNavigation(false);  // Tab goes on to the next pane, not the next cell
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* changed) {
    if (changed->column() != 1 || !OnEdit) return;
    OnEdit(item(changed->row(), 0)->text().toStdString(), changed->text().toStdString());
  });
}

void RegistersPane::Show(const std::vector<RegisterRow>& rows) {
  const QSignalBlocker block(this);
  if (rowCount() != static_cast<int>(rows.size())) {
    setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rowCount(); ++i) {
      auto* name = new QTableWidgetItem;
      name->setFlags(Qt::ItemIsEnabled);
      setItem(i, 0, name);
      setItem(i, 1, new QTableWidgetItem);
    }
  }
  // Items are rewritten, never replaced: an edit may still be closing on one.
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const RegisterRow& r = rows[static_cast<std::size_t>(i)];
    const QString title = QString::fromStdString(r.title);
    item(i, 0)->setText(QString::fromStdString(r.name));
    item(i, 0)->setToolTip(title);
    item(i, 1)->setText(QString::fromStdString(r.value));
    item(i, 1)->setToolTip(title);
    item(i, 1)->setForeground(r.changed ? QBrush(Qt::red) : QBrush());
  }
  resizeColumnToContents(0);
}

}  // namespace hc11::gui
