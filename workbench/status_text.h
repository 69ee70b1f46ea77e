// What the status line says after each command, in the window's French. The
// texts are built here so that the window, the tests and any other front end
// report a command the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/stop_event.h"
#include "debugger/controller.h"

namespace hc11 {

struct StopReport {
  RunKind command = RunKind::Run;  // the command that started the run
  StopEvent stop;                  // how it ended
  std::string breakpointName;      // the name of the list entry at the PC, if any
  // A RAM breakpoint's variable: the symbol at the address, else the entry's name.
  std::string variable;
  bool closeRefused = false;  // the window's close was refused and stopped the run
};

// "Arrêt sur point d'arrêt e056 main_loop", "Arrêt sur accès mémoire 0041
// leds (écriture) en E012", "Pas à pas: E02F", an error with its message, and
// so on.
std::string StopStatus(const StopReport& r);

inline constexpr const char* kNoLineSelected = "Aucune ligne sélectionnée";
inline constexpr const char* kAlreadyRunning = "Exécution déjà en cours";
inline constexpr const char* kCloseRefused = "Fermeture refusée: exécution arrêtée";
inline constexpr const char* kStopRequested = "Arrêt demandé";
// Beside each command's message while the exact mode is on.
inline constexpr const char* kExactModeStatus = "Processeur exact";
inline constexpr const char* kNoCodeOnLine = "Pas de code sur cette ligne";
// A drag on a box that hangs in the flow: it stays under the box above it.
inline constexpr const char* kFlowBoxFixed =
    "Cette boîte suit la précédente: seules la première boîte, les cibles de saut et les commentaires se "
    "déplacent";

std::string SerialCommandStatus(std::string_view command);  // "Commande LecE2P placée dans le tampon série"
std::string FileWrittenStatus(std::string_view path);       // "Fichier écrit: path"
std::string StateLoadedStatus(std::string_view path);       // "État chargé: path"
std::string ErrorStatus(std::string_view reason);           // "Erreur: reason"
std::string BreakpointStatus(bool set, std::uint16_t address, std::string_view name);
std::string FunctionShownStatus(std::string_view name);
std::string ZoomStatus(int percent);
std::string RegisterSetStatus(std::string_view name, std::string_view value);
std::string OptionStatus(std::string_view caption, bool checked);
std::string ProgramLoadedStatus(std::string_view listingBase, bool listingRead);
std::string InitStatus(std::uint16_t pc);

}  // namespace hc11
