#include "app/gui/qt_messages.h"

#include <QInputDialog>
#include <QMessageBox>

#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

void QtMessages::Show(MsgKind kind, std::string_view caption, std::string_view text) {
  const QString title = ToQString(caption), body = ToQString(text);
  switch (kind) {
    case MsgKind::Error:
      QMessageBox::critical(parent_, title, body);
      break;
    case MsgKind::Warning:
      // The missing-listing warning offers a single Cancel button.
      QMessageBox::warning(parent_, title, body, QMessageBox::Cancel);
      break;
    case MsgKind::Info:
      QMessageBox::information(parent_, title, body);
      break;
  }
}

std::optional<std::string> QtMessages::Prompt(std::string_view title, std::string_view text,
                                              std::string_view defaultValue) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, ToQString(title), ToQString(text), QLineEdit::Normal,
                                               ToQString(defaultValue), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

bool QtMessages::Confirm(std::string_view caption, std::string_view text) {
  return QMessageBox::question(parent_, ToQString(caption), ToQString(text)) == QMessageBox::Yes;
}

}  // namespace hc11::gui
