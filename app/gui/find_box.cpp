#include "app/gui/find_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>

namespace hc11::gui {

FindBox::FindBox(QWidget* parent) : QFrame(parent) {
  setObjectName("FindBox");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 2, 4, 2);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("FindText");
  edit_->setMinimumWidth(180);
  edit_->installEventFilter(this);
  case_ = new QCheckBox("Majuscules", this);
  case_->setObjectName("FindCase");
  count_ = new QLabel(this);
  count_->setObjectName("FindCount");
  row->addWidget(edit_);
  row->addWidget(case_);
  row->addWidget(count_);
  hide();
}

void FindBox::Open() {
  adjustSize();
  move(5, 5);
  show();
  raise();
  edit_->setFocus();
  edit_->selectAll();
}

void FindBox::SetCount(int hits) {
  hits_ = hits;
  count_->setText(hits == 0 ? QString("0") : QString("0/%1").arg(hits));
  adjustSize();
}

void FindBox::SetCurrent(int index) {
  count_->setText(QString("%1/%2").arg(index + 1).arg(hits_));
  adjustSize();
}

void FindBox::Enter(bool backward) {
  const QString text = edit_->text();
  if (text != searched_ || case_->isChecked() != searchedCase_) {
    searched_ = text;
    searchedCase_ = case_->isChecked();
    if (OnFind) OnFind(text, searchedCase_);
    if (backward && OnStep) OnStep(true);  // from the first hit round to the last
    return;
  }
  if (OnStep) OnStep(backward);
}

bool FindBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Enter(key->modifiers() & Qt::ShiftModifier);
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      hide();
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace hc11::gui
