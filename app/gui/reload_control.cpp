#include "app/gui/reload_control.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QWidgetAction>
#include <algorithm>

#include "core/file_write.h"
#include "debugger/whole_file.h"
#include "workbench/recent_programs.h"

namespace hc11::gui {

namespace {

// The program's file of that kind as the assembler named it (either case).
QString ProgramFile(const std::string& base, const char* lower, const char* upper) {
  const QString a = QString::fromStdString(base + lower), b = QString::fromStdString(base + upper);
  return QFileInfo::exists(a) || !QFileInfo::exists(b) ? a : b;
}

bool ProgramExists(const std::string& base) {
  return QFileInfo::exists(QString::fromStdString(base + ".lst")) ||
         QFileInfo::exists(QString::fromStdString(base + ".LST"));
}

}  // namespace

ReloadControl::ReloadControl(ReloadHost host, Messages& messages, QWidget& window, QBoxLayout& layout,
                             QMenu& fichier, QMenu& options)
    : QObject(&window), host_(std::move(host)), messages_(messages) {
  bar_ = new QFrame(&window);
  bar_->setObjectName("BarreRecharger");
  bar_->setStyleSheet("QFrame#BarreRecharger { background: #ffffe0; border-bottom: 1px solid gray }");
  auto* row = new QHBoxLayout(bar_);
  row->setContentsMargins(6, 2, 6, 2);
  row->addWidget(new QLabel(QString::fromUtf8("Programme réassemblé —"), bar_));
  auto* reload = new QPushButton(QString::fromUtf8("Recharger (F5)…"), bar_);
  reload->setObjectName("Recharger");
  auto* ignore = new QPushButton("Ignorer", bar_);
  ignore->setObjectName("Ignorer");
  row->addWidget(reload);
  row->addWidget(ignore);
  row->addStretch();
  layout.insertWidget(0, bar_);
  bar_->hide();
  connect(reload, &QPushButton::clicked, this, [this] { DoReload(); });
  connect(ignore, &QPushButton::clicked, this, [this] {
    stamp_ = seen_;  // this version stays unread; the next change shows the bar again
    Hide();
  });

  reloadKey_ = new QAction(QString::fromUtf8("Recharger"), &window);
  reloadKey_->setObjectName("RechargerF5");
  // F5 is the breakpoint toggle's key; it is the reload's only while the bar shows.
  reloadKey_->setEnabled(false);
  window.addAction(reloadKey_);
  connect(reloadKey_, &QAction::triggered, this, [this] { DoReload(); });

  auto_ = options.addAction("Recharger automatiquement");
  auto_->setObjectName("RechargerAuto");
  auto_->setCheckable(true);
  connect(auto_, &QAction::toggled, this, [this] { WriteSettings(); });

  recent_ = fichier.addMenu(QString::fromUtf8("Programmes récents"));
  recent_->setObjectName("ProgrammesRecents");
  connect(recent_, &QMenu::aboutToShow, this, [this] { FillRecent(); });

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { QuietCheck(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Touched(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Touched(); });
  clock_.start();
}

void ReloadControl::SetQuietMs(int ms) {
  quiet_ = QuietPeriod(static_cast<std::uint32_t>(ms));
}

void ReloadControl::ReadSettings() {
  std::string text;
  bool missing = false;
  const std::string path = host_.settingsPath();
  if (path.empty() || !ReadWhole(path, text, missing)) return;
  programs_ = ParseRecentPrograms(text);
  const QSignalBlocker block(auto_);
  auto_->setChecked(ParseAutoReload(text));
}

void ReloadControl::WriteSettings() {
  const std::string path = host_.settingsPath();
  if (path.empty()) return;
  std::string text, error;
  bool missing = false;
  // A file that cannot be read is not rewritten from nothing.
  if (!ReadWhole(path, text, missing)) return;
  if (!WriteFileWhole(path, RewriteAutoReload(RewriteRecentPrograms(text, programs_), auto_->isChecked()),
                      error))
    messages_.Show(MsgKind::Error, "Erreur", path + ": " + error);
}

void ReloadControl::Loaded(const std::string& listingBase) {
  base_ = listingBase;
  files_ = {ProgramFile(base_, ".lst", ".LST"), ProgramFile(base_, ".HEX", ".hex")};
  stamp_ = seen_ = Stamp();
  quiet_.Clear();
  timer_.stop();
  waitRun_ = false;
  Hide();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  WatchPaths();
  if (ProgramExists(base_)) {
    AddRecent(programs_, base_);
    WriteSettings();
  }
}

// An editor or assembler that saves by rename replaces the file, and the
// watch ends with the old one: the paths are given again, and the folder is
// watched for files that come back.
void ReloadControl::WatchPaths() {
  QStringList add;
  for (const QString& f : files_)
    if (QFileInfo::exists(f) && !watcher_.files().contains(f)) add << f;
  const QString dir = QFileInfo(files_.value(0)).absolutePath();
  if (!files_.isEmpty() && QFileInfo::exists(dir) && !watcher_.directories().contains(dir)) add << dir;
  if (!add.isEmpty()) watcher_.addPaths(add);
}

QString ReloadControl::Stamp() const {
  QString s;
  for (const QString& f : files_) {
    const QFileInfo info(f);
    s += info.exists() ? QString("%1:%2;").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch())
                       : QString("-;");
  }
  return s;
}

void ReloadControl::Touched() {
  WatchPaths();
  const QString now = Stamp();
  if (now == seen_) return;  // another file of the folder (the workspace saved)
  seen_ = now;
  quiet_.Changed(static_cast<std::uint64_t>(clock_.elapsed()));
  timer_.start(static_cast<int>(quiet_.Remaining(static_cast<std::uint64_t>(clock_.elapsed()))));
}

void ReloadControl::QuietCheck() {
  const auto now = static_cast<std::uint64_t>(clock_.elapsed());
  // A write the watch did not report still counts as one.
  if (Stamp() != seen_) {
    Touched();
    return;
  }
  if (!quiet_.Take(now)) {
    if (quiet_.Pending()) timer_.start(static_cast<int>(quiet_.Remaining(now)));
    return;
  }
  const bool both =
      std::all_of(files_.begin(), files_.end(), [](const QString& f) { return QFileInfo::exists(f); });
  if (both && seen_ != stamp_) Reassembled();
}

void ReloadControl::Reassembled() {
  if (auto_->isChecked()) {
    DoReload();
    return;
  }
  bar_->show();
  if (host_.holdF5) host_.holdF5(true);
  reloadKey_->setShortcut(Qt::Key_F5);
  reloadKey_->setEnabled(true);
}

void ReloadControl::Hide() {
  bar_->hide();
  reloadKey_->setEnabled(false);
  reloadKey_->setShortcut(QKeySequence());
  if (host_.holdF5) host_.holdF5(false);
}

void ReloadControl::DoReload() {
  if (host_.running()) {
    waitRun_ = true;  // done when the run stops
    return;
  }
  Hide();
  host_.reload();
}

void ReloadControl::RunEnded() {
  if (!waitRun_) return;
  waitRun_ = false;
  // Out of the run's own notification.
  QTimer::singleShot(0, this, [this] { DoReload(); });
}

void ReloadControl::FillRecent() {
  recent_->clear();
  for (std::size_t i = 0; i < programs_.size(); ++i) {
    const std::string program = programs_[i];
    const QString caption = QString::fromStdString(program);
    QAction* action = nullptr;
    if (ProgramExists(program)) {
      action = recent_->addAction(caption);
    } else {
      // Grey, yet a click still reaches it: it is removed with a word.
      auto* button = new QPushButton(caption, recent_);
      button->setFlat(true);
      button->setStyleSheet("color: gray; text-align: left; padding: 3px 20px");
      auto* widget = new QWidgetAction(recent_);
      widget->setDefaultWidget(button);
      widget->setText(caption);
      recent_->addAction(widget);
      connect(button, &QPushButton::clicked, widget, &QAction::trigger);
      action = widget;
    }
    action->setObjectName(QString("Recent%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, program] { RecentChosen(program); });
  }
  recent_->setEnabled(true);
}

void ReloadControl::RecentChosen(const std::string& program) {
  recent_->close();
  if (!ProgramExists(program)) {
    RemoveRecent(programs_, program);
    WriteSettings();
    messages_.Show(MsgKind::Warning, "Avertissement",
                   "Programme introuvable : " + program + ".lst ; il est retiré des programmes récents");
    return;
  }
  host_.open(program);
}

}  // namespace hc11::gui
