// The modal edit dialogs of the breakpoint list (TEditBreak2) and the watch
// list (TEditSurv2). Each shows the model's dialog texts and hands them back
// on OK; reading them into an entry is the model's job.
#pragma once

#include <QDialog>

#include "core/messages.h"
#include "debugger/breakpoints.h"
#include "debugger/watches.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QComboBox;
class QSpinBox;

namespace hc11::gui {

class EditBreakDialog final : public QDialog {
 public:
  // OK with texts `check` refuses shows its message through `messages` and
  // keeps the dialog open with what was typed.
  EditBreakDialog(const BreakDialog& fill, BreakDialogCheck check, Messages& messages, QWidget* parent);
  BreakDialog Texts() const;
  void accept() override;

 private:
  QLineEdit* name_;
  QLineEdit* address_;
  QLineEdit* kind_;
  QRadioButton* states_[3];
  QLineEdit* condition_;
  QComboBox* rule_;
  QLineEdit* count_;
  QLineEdit* log_;
  QCheckBox* temporary_;
  BreakDialogCheck check_;
  Messages& messages_;
};

class EditWatchDialog final : public QDialog {
 public:
  EditWatchDialog(const WatchDialog& fill, QWidget* parent);
  WatchDialog Texts() const;

 private:
  QLineEdit* type_;
  QLineEdit* name_;
  QLineEdit* address_;
  QComboBox* format_;
  QSpinBox* bytesPer_;
  QSpinBox* elements_;
  QLineEdit* value_;
  QLineEdit* initial_;
  bool valueModified_ = false;    // set by an edit of the value
  bool initialModified_ = false;  // set by an edit of the initial value
};

// Runs a dialog modally; true on OK with `d` replaced by what was entered.
bool RunEditBreakDialog(QWidget* parent, BreakDialog& d, BreakDialogCheck check, Messages& messages);
bool RunEditWatchDialog(QWidget* parent, WatchDialog& d);

}  // namespace hc11::gui
