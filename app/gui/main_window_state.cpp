// "Fichier" → "Sauver l'état…" and "Charger l'état…": the simulated state to
// and from a file, through the controller, which tells every view.
#include "app/gui/main_window.h"
#include "app/gui/workbench.h"
#include "workbench/status_text.h"

namespace hc11::gui {

namespace {
constexpr const char* kStateFilter = "Fichier d'état (*.etat)";
}  // namespace

void MainWindow::SaveStateFile() {
  const auto chosen = messages_.ChooseSaveFile("Sauver l'état", listingBase_ + ".etat", kStateFilter);
  if (!chosen) return;
  const StateFileResult r = controller_.SaveState(*chosen);
  if (!r.ok()) {
    messages_.Show(MsgKind::Error, "Erreur", r.message);
    return;
  }
  workbench().Status(FileWrittenStatus(*chosen));
}

void MainWindow::LoadStateFile() {
  const auto chosen = messages_.ChooseFile("Charger l'état", listingBase_ + ".etat", kStateFilter);
  if (!chosen || !EndSessionBefore("Charger l'état")) return;
  const StateFileResult r = controller_.LoadState(*chosen);
  if (!r.ok()) {
    messages_.Show(MsgKind::Error, "Erreur", r.message);
    return;
  }
  workbench().Status(StateLoadedStatus(*chosen));
}

}  // namespace hc11::gui
