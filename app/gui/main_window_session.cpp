// "Fichier" → "Enregistrer la session…", "Arrêter l'enregistrement" and
// "Rejouer la session…": the board's inputs and outputs recorded from the
// program's start, and replayed on the program loaded now.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "app/gui/main_window.h"
#include "app/gui/session_guard.h"
#include "app/gui/workbench.h"
#include "core/text_util.h"
#include "recording/replayer.h"
#include "workbench/status_text.h"

namespace hc11::gui {

namespace {

constexpr const char* kSessionFilter = "Session (*.session)";
constexpr const char* kRecordingMark = "Enregistrement";
constexpr const char* kUnwrittenMark = "Session non écrite";

std::string Counts(const SessionFile& s) {
  return Format("%zu entrées, %zu sorties", s.inputs.size(), s.outputs.size());
}

// The session's header as the replay reads it, and the build's digest when
// it is another build (the usual case: a replay checks a new build).
std::string ReplayHeader(const SessionFile& s, const std::string& program, std::uint64_t digest) {
  std::string text = "session: " + s.program +
                     Format(" %16.16llx ", static_cast<unsigned long long>(s.digest)) + ClockName(s.clock) +
                     '\n';
  if (s.program != program) text += "programme: " + program + '\n';
  if (s.digest != digest) text += Format("build: %16.16llx\n", static_cast<unsigned long long>(digest));
  return text;
}

}  // namespace

void MainWindow::RecordSession() {
  if (run_.Running() || replaying_) {
    workbench().Status(kAlreadyRunning);
    return;
  }
  if (!EndSessionBefore("Enregistrer une autre session")) return;
  const std::string start = sessionPath_.empty() ? listingBase_ + ".session" : sessionPath_;
  const auto chosen = messages_.ChooseSaveFile("Enregistrer la session", start, kSessionFilter);
  if (!chosen) return;
  // A replay gives the inputs from the program's start: the recording
  // begins there too.
  StartOver();
  sessionPath_ = *chosen;
  recorder_.Start();
  guard_->Arm();
  ShowSessionState();
  workbench().Status("Enregistrement de la session dans " + sessionPath_ +
                     " : le programme repart de son début (Init)");
}

void MainWindow::StopRecording() {
  if (run_.Running() || replaying_) {
    workbench().Status(kAlreadyRunning);
    return;
  }
  std::string path = sessionPath_;
  if (recorder_.Recording()) {
    unwritten_ = recorder_.Stop();
  } else if (unwritten_) {
    // The last write failed: another name, the last one offered first.
    const auto chosen = messages_.ChooseSaveFile("Enregistrer la session", sessionPath_, kSessionFilter);
    if (!chosen) return;
    path = sessionPath_ = *chosen;
  } else {
    return;
  }
  WriteSession(path);
  ShowSessionState();
}

bool MainWindow::WriteSession(const std::string& path) {
  std::string error;
  if (!WriteSessionFile(path, *unwritten_, error)) {
    messages_.Show(MsgKind::Error, "Erreur",
                   "Session non écrite : " + error +
                       "\nElle est gardée : « Arrêter l'enregistrement » l'écrit sous un autre nom.");
    return false;
  }
  workbench().Status("Session écrite: " + path + " (" + Counts(*unwritten_) + ")");
  unwritten_.reset();
  return true;
}

bool MainWindow::EndSessionBefore(std::string_view command) {
  if (!recorder_.Recording() && !unwritten_) return true;
  // Nothing modal may open during a run, and the session must not be lost
  // for want of an answer.
  if (run_.Running() || replaying_) {
    workbench().Status(kAlreadyRunning);
    return false;
  }
  // A session kept from a failed write goes under another name.
  const bool failedBefore = !recorder_.Recording();
  if (!failedBefore) unwritten_ = recorder_.Stop();
  const std::string counts = Counts(*unwritten_);
  const std::string question =
      failedBefore ? "La session (" + counts + ") n'a pas pu être écrite dans " + sessionPath_ +
                         ".\nL'écrire sous un autre nom avant « " + std::string(command) +
                         " » ?\n(Non : la session est abandonnée.)"
                   : "« " + std::string(command) + " » met fin à l'enregistrement de la session (" + counts +
                         ").\nL'écrire dans " + sessionPath_ + " ?\n(Non : la session est abandonnée.)";
  bool written = true;
  if (!messages_.Confirm("Enregistrement", question)) {
    unwritten_.reset();
    workbench().Status("Session abandonnée");
  } else if (!failedBefore) {
    written = WriteSession(sessionPath_);
  } else if (const auto chosen =
                 messages_.ChooseSaveFile("Enregistrer la session", sessionPath_, kSessionFilter)) {
    sessionPath_ = *chosen;
    written = WriteSession(sessionPath_);
  } else {
    written = false;  // no name: kept, and the command waits
  }
  ShowSessionState();
  return written;
}

void MainWindow::ClockWentBack(const SessionCut& cut) {
  unwritten_ = CutSession(recorder_.Stop(), cut);
  if (WriteSession(sessionPath_))
    workbench().Status("Enregistrement arrêté, le programme est reparti en arrière : session écrite: " +
                       sessionPath_);
  ShowSessionState();
}

void MainWindow::StartOver() {
  // Init resets the processor only: the latch, the synthesiser, the display,
  // the port-A bits and the EEPROM's bytes would keep what the last runs
  // left, and a replay from a fresh load (the CLI's) would differ at once.
  // Power off and on first, the EEPROM as a new chip's; Init then puts its
  // defaults back, so the start is a fresh load's wherever it happens.
  controller_.PowerCut();
  controller_.PowerOn();
  session_.board().EepromImage.fill(0);
  Save();
  Init(false);
}

void MainWindow::ShowSessionState() {
  auto* mark = statusBar()->findChild<QLabel*>("LbSession");
  if (mark == nullptr) {
    mark = new QLabel(statusBar());
    mark->setObjectName("LbSession");
    mark->setStyleSheet("QLabel { color: #c00000; font-weight: bold }");
    statusBar()->addPermanentWidget(mark);
  }
  mark->setText(QString::fromUtf8(recorder_.Recording() ? kRecordingMark : unwritten_ ? kUnwrittenMark : ""));
  if (QAction* stop = Action("ArreterEnregistrement")) stop->setEnabled(recorder_.Recording() || unwritten_);
}

void MainWindow::ReplaySession() {
  if (run_.Running() || replaying_) {
    workbench().Status(kAlreadyRunning);
    return;
  }
  const std::string start = sessionPath_.empty() ? listingBase_ + ".session" : sessionPath_;
  const auto chosen = messages_.ChooseFile("Rejouer la session", start, kSessionFilter);
  if (!chosen) return;
  // A refused file changes nothing, not even a recording under way.
  const SessionReadResult read = ReadSessionFile(*chosen);
  if (!read.ok()) {
    messages_.Show(MsgKind::Error, "Erreur", read.message);
    return;
  }
  if (!EndSessionBefore("Rejouer une session")) return;
  const SessionFile& s = *read.session;
  // The replay runs in the session's clock; the mark follows, so the views
  // and every later command keep that mode.
  const bool exact = s.clock == SessionClock::Exact;
  std::string header;
  if (session_.options().Checked("ProcesseurExact") != exact) {
    session_.options().Set("ProcesseurExact", exact);
    header = exact ? "Processeur exact coché, comme à l'enregistrement\n"
                   : "Processeur exact décoché, comme à l'enregistrement\n";
  }
  StartOver();
  const std::string program = QFileInfo(QString::fromStdString(listingBase_)).fileName().toStdString();
  header = ReplayHeader(s, program, session_.CodeImageDigest()) + header;

  replaying_ = true;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  const ReplayResult r = Replay(controller_, s);
  QApplication::restoreOverrideCursor();
  replaying_ = false;

  // The last run showed its own stop; the window is where the replay ended.
  ShowSourceAt(session_.machine().cpu.PC);
  ShowRegisters();
  if (r.same()) {
    workbench().Status(Format("Session rejouée: mêmes %zu sorties", r.outputs));
  } else if (r.interrupted()) {
    workbench().Status(Format("Session interrompue après %zu sorties en %4.4X", r.outputs, r.pc));
  } else {
    ShowCasBreak(Format("différence sortie %zu", r.index));
    workbench().Status(Format("Session rejouée: différence à la sortie %zu en %4.4X", r.index, r.pc));
  }
  // Info either way: its box has the OK a result wants (a warning's has
  // Cancel only).
  messages_.Show(MsgKind::Info, "Rejouer la session", header + ReplayText(r));
}

}  // namespace hc11::gui
