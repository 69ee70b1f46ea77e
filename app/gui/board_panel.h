// TEnvironForm: the board panel window. Renders the Board's panel model and
// forwards every press to it; it owns no board state.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <array>
#include <functional>

#include "app/gui/segment_display.h"
#include "board/board.h"
#include "board/panel_input.h"

namespace hc11::gui {

class BoardPanel final : public QWidget {
 public:
  // The panel shows `board`; what the user does on it goes to `input`.
  BoardPanel(const Board& board, std::function<void(const PanelInput&)> input, QWidget* parent = nullptr);

  // Brings every control up to the board's state.
  void Refresh();
  // Parts of the panel a device changed; while a run is in progress they
  // are repainted with the 100 ms redraw rather than at once.
  void Changed(PanelPart part, bool running);
  void FlushChanges();
  // While a run is in progress a flood of serial lines shows only its newest
  // lines; when the run ends the memo shows everything the board kept.
  void SetRunning(bool running);
  // Above every other window, or only above the main window.
  void SetOnTop(bool on);

 protected:
  // Every show lands on the visible screen, whatever place was saved.
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildKeypad();
  QWidget* BuildInputs();
  void RefreshMemo();
  // Lines a refresh during a run shows at most; the memo is 90 px high.
  static constexpr std::size_t kRunningMemoLines = 32;

  const Board& board_;
  std::function<void(const PanelInput&)> input_;
  SegmentDisplay* ecran1_;
  std::array<Led*, 4> leds_{};
  QLabel* lbPcf8574_;
  QLabel* lbOutA_;
  QLabel* lbSynth_;
  QSpinBox* niveauSignal_ = nullptr;
  QSpinBox* ocFreq_ = nullptr;
  QCheckBox* cbOC_ = nullptr;
  QPushButton* coupureSecteur_ = nullptr;  // checked while the board has no power
  QPlainTextEdit* memo1_;
  std::uint64_t memoShownAdded_ = 0;  // the board's MemoAdded at the last refresh
  std::size_t memoShownLines_ = 0;
  bool memoPartial_ = false;  // showing only the newest lines of a flood
  bool running_ = false;
  bool dirty_ = false;
  bool memoDirty_ = false;
};

}  // namespace hc11::gui
