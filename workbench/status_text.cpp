#include "workbench/status_text.h"

#include "core/text_util.h"

namespace hc11 {

namespace {

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string StopStatus(const StopReport& r) {
  const std::string pc = Format("%4.4X", r.pc);
  if (r.closeRefused) return kCloseRefused;
  if (!r.stopMessage.empty()) return "Arrêt sur erreur en " + pc + ": " + r.stopMessage;
  if (r.ramBreak) {
    const char* access = r.ramBreak->kind == 'i'   ? "lecture"
                         : r.ramBreak->kind == 'm' ? "modification"
                                                   : "écriture";
    std::string text = "Arrêt sur accès mémoire " + Format("%4.4x", r.ramBreak->address);
    if (!r.ramBreak->variable.empty()) text += " " + r.ramBreak->variable;
    return text + " (" + access + ") en " + pc;
  }
  const std::string_view reason = r.stopReason;
  if (reason == "Break F4") return "Arrivé au curseur: " + pc;
  if (StartsWithText(reason, "Break ")) {
    std::string text = "Arrêt sur point d'arrêt " + Format("%4.4x", r.pc);
    if (!r.breakpointName.empty()) text += " " + r.breakpointName;
    return text;
  }
  // Going back in time leaves the machine stopped as after F2: say where it went.
  if (reason == "stop arrière") return "Pas arrière: " + pc;
  if (reason == "début enregistrement") return "Début de l'enregistrement: " + pc;
  // A RAM breakpoint names its own reason.
  if (!reason.empty() && !StartsWithText(reason, "stop")) return "Arrêt: " + std::string(reason);
  if (r.stopRequested) return std::string(kStopRequested) + ": " + pc;
  switch (r.command) {
    case RunKind::Step:
      return "Pas à pas: " + pc;
    case RunKind::StepOver:
      return "Pas à pas Spr: " + pc;
    case RunKind::ReturnUp:
      return "Remonté du SP: " + pc;
    case RunKind::RunToCursor:
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
