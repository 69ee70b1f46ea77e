// The "Var" pane: the kind chooser SelType over the symbol lists, the label
// list ListSymbS above them. It shows the session's lists; clicks go back to
// the window through the callbacks.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QWidget>
#include <functional>

#include "listing/listing_types.h"

namespace hc11::gui {

class SymbolLists final : public QWidget {
 public:
  explicit SymbolLists(QWidget* parent = nullptr);

  // Rewrites every list from the tables and shows the one SelType chooses.
  void Fill(const SymbolTables& tables);

  QListWidget* ListSymbI() const { return listI_; }

  std::function<void()> OnLabelClicked;             // a click in ListSymbS
  std::function<void(const Tsym&)> OnSymbolChosen;  // a double click in S, I or C

 private:
  QListWidget* AddList(const char* name);
  void ShowChosenKind();

  const SymbolTables* tables_;
  QComboBox* selType_ = nullptr;
  QListWidget* listS_ = nullptr;
  QListWidget* listI_ = nullptr;
  QListWidget* listC_ = nullptr;
  QListWidget* listX_ = nullptr;
  QListWidget* listB_ = nullptr;
};

}  // namespace hc11::gui
