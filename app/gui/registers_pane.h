// The "Registres" pane: PC, A, B, D, X, Y, SP, CC and each condition flag on
// a row of its own, red when the last stop changed it, edited in place.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "workbench/register_rows.h"

namespace hc11::gui {

class RegistersPane final : public QTableWidget {
 public:
  RegistersPane();

  void Show(const std::vector<RegisterRow>& rows);
  // A value typed into a row: the register's name and the text.
  std::function<void(const std::string& name, const std::string& text)> OnEdit;
};

}  // namespace hc11::gui
