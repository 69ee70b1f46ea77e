// ValueListEditor1: the settings editor, a two-column table of keys and
// values. A value is edited as in any table editor (typing replaces the
// selected text); a refused value is reported and the old one comes back. A
// double click outside the value cells puts the editor away.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>

namespace hc11::gui {

class ReglagesEditor final : public QTableWidget {
 public:
  explicit ReglagesEditor(QWidget* parent = nullptr);

  // The value shown for row `row`, without reporting it as an edit.
  void ShowValue(int row, const QString& value);

  // An edited value: returns the refusal message, empty when accepted.
  std::function<std::string(const std::string& key, const std::string& value)> OnEdited;
  std::function<void(const std::string& message)> OnRefused;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Edited(QTableWidgetItem* item);
};

}  // namespace hc11::gui
