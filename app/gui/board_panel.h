// TEnvironForm: the board panel window. Renders the Board's panel model and
// forwards every press to it; it owns no board state.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QWidget>
#include <array>

#include "app/gui/segment_display.h"
#include "board/board.h"

namespace hc11::gui {

class BoardPanel final : public QWidget {
 public:
  BoardPanel(Board& board, QWidget* parent = nullptr);

  // Brings every control up to the board's state.
  void Refresh();
  // Parts of the panel a device changed; while a run is in progress they
  // are repainted with the 100 ms redraw rather than at once.
  void Changed(PanelPart part, bool running);
  void FlushChanges();
  // Above every other window, or only above the main window.
  void SetOnTop(bool on);

 private:
  QWidget* BuildKeypad();
  QWidget* BuildInputs();
  void RefreshMemo();

  Board& board_;
  SegmentDisplay* ecran1_;
  std::array<Led*, 4> leds_{};
  QLabel* lbPcf8574_;
  QLabel* lbOutA_;
  QLabel* lbSynth_;
  QSpinBox* niveauSignal_ = nullptr;
  QSpinBox* ocFreq_ = nullptr;
  QCheckBox* cbOC_ = nullptr;
  QPlainTextEdit* memo1_;
  bool dirty_ = false;
};

}  // namespace hc11::gui
