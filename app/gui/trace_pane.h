// The code lists of the right-hand pane (MemoTrace, MemoStack): Courier New
// in 14 px rows, multi-selection, and in the leftmost 20 pixels a hand pointer
// whose press goes to the address that starts the selected line.
#pragma once

#include <QListWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace hc11::gui {

class CodeList : public QListWidget {
 public:
  explicit CodeList(QWidget* parent = nullptr);

  // The first word of the selected line, read as hexadecimal.
  std::function<void(std::uint16_t)> OnGoto;

  // Shows exactly `lines`, keeping the list's own selection when nothing
  // changed; the last line is selected when lines were added.
  void SetLines(const std::deque<std::string>& lines, std::size_t added);
  void SetLines(const std::vector<std::string>& lines);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace hc11::gui
