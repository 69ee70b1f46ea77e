#include "app/gui/qt_messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>
#include <string>

#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

void QtMessages::Show(MsgKind kind, std::string_view caption, std::string_view text) {
  if (unattended_) {
    std::fprintf(stderr, "%s: %s\n", std::string(caption).c_str(), std::string(text).c_str());
    return;
  }
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
  if (unattended_) return std::string(defaultValue);
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, ToQString(title), ToQString(text), QLineEdit::Normal,
                                               ToQString(defaultValue), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

bool QtMessages::Confirm(std::string_view caption, std::string_view text) {
  if (unattended_) return true;
  return QMessageBox::question(parent_, ToQString(caption), ToQString(text)) == QMessageBox::Yes;
}

// Any name is accepted here: a name that does not exist is reported by the
// caller in French, where the dialog's own check would say "File not found".
std::optional<std::string> QtMessages::ChooseFile(std::string_view title, std::string_view start,
                                                  std::string_view filter) {
  return FileDialog(title, start, filter, false);
}

std::optional<std::string> QtMessages::ChooseSaveFile(std::string_view title, std::string_view start,
                                                      std::string_view filter) {
  return FileDialog(title, start, filter, true);
}

std::optional<std::string> QtMessages::FileDialog(std::string_view title, std::string_view start,
                                                  std::string_view filter, bool save) {
  if (unattended_) return std::nullopt;
  QFileDialog dialog(parent_, ToQString(title), ToQString(start), ToQString(filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setLabelText(QFileDialog::LookIn, "Chercher dans :");
  dialog.setLabelText(QFileDialog::FileName, "Nom du fichier :");
  dialog.setLabelText(QFileDialog::FileType, "Type :");
  dialog.setLabelText(QFileDialog::Accept, save ? "Enregistrer" : "Ouvrir");
  dialog.setLabelText(QFileDialog::Reject, "Annuler");
  const QFileInfo file(ToQString(start));
  if (file.exists() && !file.isDir()) dialog.selectFile(file.absoluteFilePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace hc11::gui
