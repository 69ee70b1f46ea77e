#include "workbench/status_text.h"

#include "core/text_util.h"

namespace hc11 {

std::string StopStatus(const StopReport& r) {
  const StopEvent& e = r.stop;
  const std::string pc = Format("%4.4X", e.pc);
  if (r.closeRefused) return kCloseRefused;
  switch (e.cause) {
    case StopCause::Error:
      return "Arrêt sur erreur en " + pc + ": " + e.message;
    case StopCause::RamBreakpoint: {
      const char* access = e.access == 'i' ? "lecture" : e.access == 'm' ? "modification" : "écriture";
      std::string text = "Arrêt sur accès mémoire " + Format("%4.4x", e.address);
      if (!r.variable.empty()) text += " " + r.variable;
      return text + " (" + access + ") en " + pc;
    }
    case StopCause::TargetReached:
      return "Arrivé au curseur: " + pc;
    case StopCause::Breakpoint: {
      std::string text = "Arrêt sur point d'arrêt " + Format("%4.4x", e.pc);
      if (!r.breakpointName.empty()) text += " " + r.breakpointName;
      return text;
    }
    // Going back in time leaves the machine stopped as after F2: say where it went.
    case StopCause::ReplayEnd:
      return "Pas arrière: " + pc;
    case StopCause::RecordStart:
      return "Début de l'enregistrement: " + pc;
    case StopCause::Expression:
    case StopCause::NothingRecorded:
    case StopCause::PoweredOff:
      return "Arrêt: " + e.text;
    case StopCause::StopRequested:
      if (e.back) return "Pas arrière: " + pc;
      return std::string(kStopRequested) + ": " + pc;
    case StopCause::None:
    case StopCause::StepDone:
    case StopCause::BudgetSpent:
    case StopCause::CallReturned:
      break;
  }
  switch (r.command) {
    case RunKind::Step:
      return "Pas à pas: " + pc;
    case RunKind::StepOver:
      return "Pas à pas Spr: " + pc;
    case RunKind::ReturnUp:
      return "Remonté du SP: " + pc;
    case RunKind::RunTo:
      return "Retour d'appel: " + pc;
    case RunKind::Run:
      break;
  }
  return "Arrêt: " + pc;
}

std::string SerialCommandStatus(std::string_view command) {
  return "Commande " + std::string(command) + " placée dans le tampon série";
}

std::string FileWrittenStatus(std::string_view path) {
  return "Fichier écrit: " + std::string(path);
}

std::string ErrorStatus(std::string_view reason) {
  return "Erreur: " + std::string(reason);
}

std::string BreakpointStatus(bool set, std::uint16_t address, std::string_view name) {
  std::string text = (set ? "Point d'arrêt posé: " : "Point d'arrêt retiré: ") + Format("%4.4x", address);
  if (!name.empty()) text += " " + std::string(name);
  return text;
}

std::string FunctionShownStatus(std::string_view name) {
  return "Fonction affichée: " + std::string(name);
}

std::string ZoomStatus(int percent) {
  return Format("Zoom: %d%%", percent);
}

std::string RegisterSetStatus(std::string_view name, std::string_view value) {
  return "Registre " + std::string(name) + " = " + std::string(value);
}

std::string OptionStatus(std::string_view caption, bool checked) {
  return "Option " + std::string(caption) + (checked ? ": cochée" : ": décochée");
}

std::string ProgramLoadedStatus(std::string_view listingBase, bool listingRead) {
  return (listingRead ? "Programme chargé: " : "Listing absent: ") + std::string(listingBase);
}

std::string InitStatus(std::uint16_t pc) {
  return "Init: processeur réinitialisé, PC=" + Format("%4.4X", pc);
}

}  // namespace hc11
