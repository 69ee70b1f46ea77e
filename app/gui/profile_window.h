// "Profil": the program's functions by exclusive cycles, with calls,
// exclusive and inclusive cycles and their shares; a click shows the
// function's flowchart, "Remise à zéro" clears the counts. The rows come
// from the model (ProfileListRows).
#pragma once

#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "debugger/coverage_view.h"

namespace hc11::gui {

class ProfileWindow final : public QWidget {
 public:
  explicit ProfileWindow(QWidget* parent = nullptr);

  // Fills the list again from Rows.
  void Refresh();
  QTreeWidget& List() { return *list_; }

  std::function<std::vector<ProfileListRow>()> Rows;
  std::function<void(const std::string&)> OnShowFunction;
  std::function<void()> OnReset;

 private:
  QTreeWidget* list_;
};

}  // namespace hc11::gui
