// The find box of "Chercher" (Ctrl+F): a line at the flowchart's top left
// with a case checkbox and the hit count. Enter searches (or steps on when the
// text is unchanged), Shift+Enter steps back, Escape closes it.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace hc11::gui {

class FindBox final : public QFrame {
 public:
  explicit FindBox(QWidget* parent);

  std::function<void(const QString& text, bool matchCase)> OnFind;
  std::function<void(bool backward)> OnStep;

  void Open();
  void SetCount(int hits);
  void SetCurrent(int index);
  QLineEdit& Edit() { return *edit_; }
  QCheckBox& MatchCase() { return *case_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Enter(bool backward);

  QLineEdit* edit_;
  QCheckBox* case_;
  QLabel* count_;
  QString searched_;  // the text and case of the last search
  bool searchedCase_ = false;
  int hits_ = 0;
};

}  // namespace hc11::gui
