#include "app/gui/symbol_lists.h"

#include <QVBoxLayout>

#include "app/gui/gui_fonts.h"
#include "debugger/symbol_panel.h"

namespace hc11::gui {
namespace {

const SymbolTables kNoSymbols;

void FillList(QListWidget* widget, const SymbolList& list) {
  const int row = widget->currentRow();
  widget->clear();
  for (const SymbolItem& item : list) widget->addItem(QString::fromStdString(item.text));
  if (row >= 0 && row < widget->count()) widget->setCurrentRow(row);
}

}  // namespace

SymbolLists::SymbolLists(QWidget* parent) : QWidget(parent), tables_(&kNoSymbols) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  selType_ = new QComboBox;
  selType_->setObjectName("SelType");
  for (const char* item : kSelTypeItems) selType_->addItem(item);
  layout->addWidget(selType_);
  listS_ = AddList("ListSymbS");
  listS_->setToolTip("Labels");
  listI_ = AddList("ListSymbI");
  listC_ = AddList("ListSymbC");
  listX_ = AddList("ListSymbX");
  listB_ = AddList("ListSymbB");
  selType_->setCurrentText("I");
  connect(selType_, &QComboBox::currentTextChanged, this, [this] { ShowChosenKind(); });
  connect(listS_, &QListWidget::itemClicked, this, [this] {
    if (OnLabelClicked) OnLabelClicked();
  });
  ShowChosenKind();
}

QListWidget* SymbolLists::AddList(const char* name) {
  auto* list = new QListWidget;
  list->setObjectName(name);
  list->setFont(CodeFont());
  layout()->addWidget(list);
  connect(list, &QListWidget::itemDoubleClicked, this, [this, list] {
    if (!OnSymbolChosen) return;
    const SymbolList* symbols = list == listS_   ? &tables_->ListSymbS
                                : list == listI_ ? &tables_->ListSymbI
                                : list == listC_ ? &tables_->ListSymbC
                                                 : nullptr;
    const int row = list->currentRow();
    if (symbols && row >= 0 && row < static_cast<int>(symbols->size()))
      OnSymbolChosen((*symbols)[static_cast<std::size_t>(row)].sym);
  });
  return list;
}

void SymbolLists::Fill(const SymbolTables& tables) {
  tables_ = &tables;
  FillList(listS_, tables.ListSymbS);
  FillList(listI_, tables.ListSymbI);
  FillList(listC_, tables.ListSymbC);
  FillList(listX_, tables.ListSymbX);
  FillList(listB_, tables.ListSymbB);
}

void SymbolLists::ShowChosenKind() {
  // Only one kind list at a time; X and B have no chooser item and stay hidden.
  const SymbolList* shown = ShownSymbolList(*tables_, selType_->currentText().toStdString());
  listC_->setVisible(shown == &tables_->ListSymbC);
  listI_->setVisible(shown == &tables_->ListSymbI);
  listX_->hide();
  listB_->hide();
}

}  // namespace hc11::gui
