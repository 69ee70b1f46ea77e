#include "app/gui/profile_exports.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "app/gui/main_window.h"
#include "app/gui/profile_window.h"
#include "app/gui/workbench.h"
#include "listing/listing_files.h"
#include "profile/lcov_file.h"
#include "workbench/coverage_export.h"
#include "workbench/status_text.h"

namespace hc11::gui {

namespace {

constexpr int kGenhtmlTimeoutMs = 120000;
constexpr const char* kNoListing = "Aucun listing chargé: pas de couverture à exporter";

QString Genhtml() {
  return QStandardPaths::findExecutable("genhtml");
}

bool WriteCoverage(MainWindow& w, const std::string& path, std::string& error) {
  Session& s = w.session();
  return WriteLcovFile(path, ListingFileName(w.ListingBase()), s.listing(), s.machine().Memory, s.profiler(),
                       error);
}

void HtmlReport(ProfileWindow& profile, MainWindow& w, Messages& messages, QPushButton* button) {
  const QString genhtml = Genhtml();
  if (genhtml.isEmpty()) {
    messages.Show(MsgKind::Error, "Erreur", "genhtml introuvable: installer lcov");
    return;
  }
  const std::string folder = profile.ChooseFolder(
      QString::fromUtf8("Rapport HTML"), QString::fromStdString(DefaultReportFolder(w.ListingBase())));
  if (folder.empty()) return;
  std::string error;
  const std::string info = ReportTracefile(folder);
  if (!QDir().mkpath(QString::fromStdString(folder)) || !WriteCoverage(w, info, error)) {
    messages.Show(MsgKind::Error, "Erreur", error.empty() ? folder + ": dossier impossible à créer" : error);
    return;
  }
  auto* process = new QProcess(&profile);
  process->setProcessChannelMode(QProcess::MergedChannels);
  auto* limit = new QTimer(process);
  limit->setSingleShot(true);
  QObject::connect(limit, &QTimer::timeout, process, [process] { process->kill(); });
  button->setEnabled(false);
  w.workbench().Status("Rapport HTML en cours: " + folder);
  QObject::connect(process, &QProcess::finished, &profile,
                   [process, button, folder, &w, &messages](int code, QProcess::ExitStatus status) {
                     button->setEnabled(true);
                     process->deleteLater();
                     if (status == QProcess::NormalExit && code == 0) {
                       w.workbench().Status(FileWrittenStatus(ReportIndex(folder)));
                       return;
                     }
                     const std::string output = process->readAll().trimmed().toStdString();
                     messages.Show(MsgKind::Error, "Erreur",
                                   "genhtml: échec" +
                                       (status == QProcess::NormalExit ? "" : std::string(" (arrêté)")) +
                                       (output.empty() ? "" : "\n" + output));
                   });
  QObject::connect(
      process, &QProcess::errorOccurred, &profile, [process, button, &messages](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;  // the others end in finished
        button->setEnabled(true);
        process->deleteLater();
        messages.Show(MsgKind::Error, "Erreur", "genhtml: " + process->errorString().toStdString());
      });
  QStringList args;
  for (const std::string& a : GenhtmlArguments(info, folder)) args << QString::fromStdString(a);
  limit->start(kGenhtmlTimeoutMs);
  process->start(genhtml, args);
}

}  // namespace

void AttachCoverageExports(ProfileWindow& profile, MainWindow& w, Messages& messages) {
  profile.ReportAvailable = [] { return !Genhtml().isEmpty(); };
  profile.OnExportLcov = [&profile, &w, &messages] {
    if (w.session().listing().LineList.empty()) {
      messages.Show(MsgKind::Error, "Erreur", kNoListing);
      return;
    }
    const std::string path = profile.ChooseFile(QString::fromUtf8("Exporter lcov"),
                                                QString::fromStdString(DefaultLcovPath(w.ListingBase())));
    if (path.empty()) return;
    std::string error;
    if (!WriteCoverage(w, path, error)) {
      messages.Show(MsgKind::Error, "Erreur", error);
      return;
    }
    w.workbench().Status(FileWrittenStatus(path));
  };
  QPushButton* button = profile.findChild<QPushButton*>("BtRapportHtml");
  profile.OnHtmlReport = [&profile, &w, &messages, button] {
    if (w.session().listing().LineList.empty()) {
      messages.Show(MsgKind::Error, "Erreur", kNoListing);
      return;
    }
    HtmlReport(profile, w, messages, button);
  };
}

}  // namespace hc11::gui
