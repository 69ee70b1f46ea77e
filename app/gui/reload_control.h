// The program assembled again while the window shows it: a watch on its
// listing and image, the bar above the flowchart ("Recharger (F5)…" /
// "Ignorer"), the Options mark "Recharger automatiquement", and
// "Fichier" -> "Programmes récents". The rules (the quiet period, the list)
// live in workbench/; this class only ties them to Qt.
#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "workbench/quiet_period.h"

class QBoxLayout;
class QLabel;

namespace hc11::gui {

// What the control needs of its window.
struct ReloadHost {
  std::function<bool()> running;                 // a run in progress
  std::function<void()> reload;                  // Load again, the view kept
  std::function<void(const std::string&)> open;  // "Ouvrir Fichier.Lst" of a program
  std::function<std::string()> settingsPath;     // empty: nothing kept
  std::function<void(bool)> holdF5;              // F5 goes to the bar while it shows
};

class ReloadControl : public QObject {
 public:
  // The bar goes first in `layout` (above the flowchart); the mark at the end
  // of `options`, the list at the end of `fichier`.
  ReloadControl(ReloadHost host, Messages& messages, QWidget& window, QBoxLayout& layout, QMenu& fichier,
                QMenu& options);

  // After each Load: the program's files are watched from now on, and the
  // program goes to the front of the recent list.
  void Loaded(const std::string& listingBase);
  // After each run: a reload that waited for it is done now.
  void RunEnded();
  // The quiet period, shorter in tests.
  void SetQuietMs(int ms);

  QFrame& bar() { return *bar_; }
  QAction& autoReload() { return *auto_; }
  QMenu& recentMenu() { return *recent_; }
  // Reads the mark and the list from the settings file (at start-up).
  void ReadSettings();

 private:
  void Touched();
  void QuietCheck();
  void Reassembled();
  void DoReload();
  void Hide();
  void FillRecent();
  void RecentChosen(const std::string& program);
  void WriteSettings();
  QString Stamp() const;
  void WatchPaths();

  ReloadHost host_;
  Messages& messages_;
  QFrame* bar_ = nullptr;
  QAction* reloadKey_ = nullptr;
  QAction* auto_ = nullptr;
  QMenu* recent_ = nullptr;
  QFileSystemWatcher watcher_;
  QTimer timer_;
  QElapsedTimer clock_;
  QuietPeriod quiet_;
  QStringList files_;  // the listing and the image, as named after the last Load
  QString stamp_;      // their sizes and times as loaded (or as ignored)
  QString seen_;       // as last seen
  std::string base_;
  std::vector<std::string> programs_;
  bool waitRun_ = false;  // a reload asked during a run
};

}  // namespace hc11::gui
