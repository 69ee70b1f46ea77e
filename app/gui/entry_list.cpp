#include "app/gui/entry_list.h"

#include <QKeyEvent>

namespace hc11::gui {

EntryList::EntryList(QWidget* parent) : CodeList(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void EntryList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && OnDelete) {
    if (currentRow() >= 0) OnDelete(currentRow());
    return;
  }
  CodeList::keyPressEvent(event);
}

}  // namespace hc11::gui
