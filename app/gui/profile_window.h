// "Profil": the program's functions by exclusive cycles, with calls,
// exclusive and inclusive cycles and their shares; a click shows the
// function's flowchart, "Remise à zéro" clears the counts, "Exporter lcov…"
// and "Rapport HTML…" (shown while genhtml is installed) take the coverage
// to a report. The rows come from the model (ProfileListRows).
#pragma once

#include <QMainWindow>
#include <QPushButton>
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

  // Fills the list again from Rows; "Rapport HTML…" follows ReportAvailable.
  void Refresh();
  QTreeWidget& List() { return *list_; }
  // Below the menu bar of `main`, on its right, inside the screen.
  void PlaceOver(const QMainWindow& main);

  std::function<std::vector<ProfileListRow>()> Rows;
  std::function<void(const std::string&)> OnShowFunction;
  std::function<void()> OnReset;
  std::function<void()> OnExportLcov;
  std::function<void()> OnHtmlReport;
  std::function<bool()> ReportAvailable;
  // The file and folder choosers; tests replace them so that nothing blocks.
  // An empty answer is a cancel.
  std::function<std::string(const QString& caption, const QString& suggested)> ChooseFile;
  std::function<std::string(const QString& caption, const QString& suggested)> ChooseFolder;

 private:
  QTreeWidget* list_;
  QPushButton* report_ = nullptr;
};

}  // namespace hc11::gui
