#include "app/gui/reglages_editor.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "debugger/settings_file.h"

namespace hc11::gui {

namespace {

// The editor opens with its text selected, so the first key typed replaces it.
class SelectAllDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
  }
};

}  // namespace

ReglagesEditor::ReglagesEditor(QWidget* parent)
    : QTableWidget(static_cast<int>(kReglagesDefaults.size()), 2, parent) {
  setObjectName("ValueListEditor1");
  setHorizontalHeaderLabels({"Key", "Value"});
  setColumnWidth(0, 150);
  setColumnWidth(1, 150);
  verticalHeader()->hide();
  setItemDelegateForColumn(1, new SelectAllDelegate(this));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i) {
    auto* key = new QTableWidgetItem(kReglagesDefaults[i].first);
    key->setFlags(key->flags() & ~Qt::ItemIsEditable);
    setItem(static_cast<int>(i), 0, key);
    setItem(static_cast<int>(i), 1, new QTableWidgetItem(kReglagesDefaults[i].second));
  }
  setMaximumHeight(200);
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { Edited(item); });
}

void ReglagesEditor::ShowValue(int row, const QString& value) {
  const QSignalBlocker block(this);
  item(row, 1)->setText(value);
  item(row, 1)->setData(Qt::UserRole, value);  // the value to come back to
}

void ReglagesEditor::Edited(QTableWidgetItem* changed) {
  if (changed->column() != 1 || !OnEdited) return;
  const std::string key = item(changed->row(), 0)->text().toStdString();
  const std::string error = OnEdited(key, changed->text().toStdString());
  if (error.empty()) {
    ShowValue(changed->row(), changed->text());
    return;
  }
  ShowValue(changed->row(), changed->data(Qt::UserRole).toString());
  // Reported once the editor has closed, so the message box does not fight
  // it for the focus.
  if (OnRefused)
    QMetaObject::invokeMethod(
        this, [this, error] { OnRefused(error); }, Qt::QueuedConnection);
}

void ReglagesEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex at = indexAt(event->position().toPoint());
  if (!at.isValid() || at.column() != 1) {
    hide();
    return;
  }
  QTableWidget::mouseDoubleClickEvent(event);
}

}  // namespace hc11::gui
