// The "Options" menu's check marks: one table of every item (component name,
// caption, shown in the menu or not, what it feeds), and the marks
// themselves. The window's menu only shows them; the settings file saves them
// under their component names.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "board/board.h"
#include "core/machine.h"

namespace hc11 {

// What a mark switches beyond being read where it is used.
enum class OptionFeeds {
  Nothing,
  TraceEveryStep,  // run engine: trace line at every step
  Comments,        // flowchart comment switches, synthesiser comments
  LocalLabels,     // flowchart local labels
  StepHistory,     // core step history
  UartTrace,       // board panel UART trace
  BoardPanel,      // board panel
  I2cTrace,
  SynthTrace,
  NoOverlapLayout,  // flowchart layout without overlapping boxes
  Coverage,         // flowchart tinted by what ran
  ExactMode,        // the processor's own devices and time in E cycles
};

struct OptionItem {
  const char* component;
  const char* caption;
  bool visible;
  OptionFeeds feeds;
  bool checkedByDefault;
};

inline constexpr std::array<OptionItem, 24> kOptionItems = {{
    {"AfReg", "Aff Registres", true, OptionFeeds::TraceEveryStep, false},
    {"AffCommentaires", "Aff Commentaires", true, OptionFeeds::Comments, false},
    {"AffLabelLocal", "Aff LabelsLocal", true, OptionFeeds::LocalLabels, false},
    {"AutTracer", "Tracer instructions détaillé", true, OptionFeeds::StepHistory, false},
    {"UartTrace", "Tracer Uart", true, OptionFeeds::UartTrace, false},
    {"TracerHorloge", "Tracer Horloge", false, OptionFeeds::Nothing, false},
    {"Tracer1Mb", "Tracer 1Mb", false, OptionFeeds::BoardPanel, false},
    {"TracerAff", "Tracer Aff", false, OptionFeeds::Nothing, false},
    {"TracerJsr", "Tracer Jsr", false, OptionFeeds::Nothing, false},
    {"TraceCycleTemps", "Trace Cycle/Temps", false, OptionFeeds::Nothing, false},
    {"TracerTimers", "TracerTimers", false, OptionFeeds::Nothing, false},
    {"TracerI2c", "Tracer i2c", true, OptionFeeds::I2cTrace, false},
    {"TracerSynth", "Tracer Synth", true, OptionFeeds::SynthTrace, false},
    {"TracerUartR", "Tracer Uart R", false, OptionFeeds::Nothing, false},
    {"TracerUartW", "Tracer Uart W", false, OptionFeeds::Nothing, false},
    {"TracerUartd", "Trace Uart détaillé", false, OptionFeeds::Nothing, false},
    {"DispoSansChevauchement", "Disposition sans chevauchement", true, OptionFeeds::NoOverlapLayout, true},
    // The board's serial link on the host, and real time.
    {"LiaisonSerie", "Liaison série", true, OptionFeeds::Nothing, false},
    {"TempsReel", "Temps réel", true, OptionFeeds::Nothing, false},
    {"AttenteSerie", "Attendre le client série", true, OptionFeeds::Nothing, false},
    {"Couverture", "Couverture", true, OptionFeeds::Coverage, false},
    {"ServeurGdb", "Serveur GDB", true, OptionFeeds::Nothing, false},
    {"PanneauDevant", "Panneau toujours devant", true, OptionFeeds::Nothing, true},  // board panel on top
    {"ProcesseurExact", "Processeur exact", true, OptionFeeds::ExactMode, false},
}};

class OptionMarks {
 public:
  OptionMarks();

  bool Checked(std::size_t index) const { return marks_[index]; }
  void Set(std::size_t index, bool on) { marks_[index] = on; }
  // A click on the item: toggles its mark.
  void Toggle(std::size_t index) { marks_[index] = !marks_[index]; }

  // By component name; false for an unknown name.
  bool Checked(std::string_view component) const;
  void Set(std::string_view component, bool on);

  // The marks the core and the board read: step history, I2C and
  // synthesiser traces, the exact mode. The flowchart's switches are the window's to apply.
  void CopyToCore(Machine& m, Board& board) const;

  static std::optional<std::size_t> IndexOf(std::string_view component);

 private:
  std::array<bool, kOptionItems.size()> marks_{};
};

}  // namespace hc11
