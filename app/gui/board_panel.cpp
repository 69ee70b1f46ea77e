#include "app/gui/board_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <limits>
#include <utility>

#include "app/gui/screen_places.h"
#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

namespace {

// Memo1 empties on a double click.
class Memo final : public QPlainTextEdit {
 public:
  explicit Memo(std::function<void()> onDoubleClick) : onDoubleClick_(std::move(onDoubleClick)) {
    setReadOnly(true);
  }

 protected:
  void mouseDoubleClickEvent(QMouseEvent*) override { onDoubleClick_(); }

 private:
  std::function<void()> onDoubleClick_;
};

// Keypad rows as the panel lays them out (indexes into kKeypad).
constexpr std::array<std::array<int, 4>, 3> kKeypadRows{{{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}}};

}  // namespace

BoardPanel::BoardPanel(const Board& board, std::function<void(const PanelInput&)> input, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      board_(board),
      input_(std::move(input)) {
  setObjectName("EnvironForm");
  setWindowTitle("environ");
  auto* layout = new QVBoxLayout(this);

  auto* displayRow = new QHBoxLayout;
  ecran1_ = new SegmentDisplay(board_.Ecran1);
  ecran1_->OnClick = [this] { input_({PanelAction::ClickDisplay}); };
  displayRow->addWidget(ecran1_);
  const char* ledNames[] = {"Led1Ton", "Led2Hp", "Led3Klx", "Led4MA"};
  for (std::size_t i = 0; i < leds_.size(); ++i) {
    leds_[i] = new Led;
    leds_[i]->setObjectName(ledNames[i]);
    displayRow->addWidget(leds_[i]);
  }
  displayRow->addStretch();
  layout->addLayout(displayRow);

  lbPcf8574_ = new QLabel;
  lbPcf8574_->setObjectName("LbPcf8574");
  lbOutA_ = new QLabel;
  lbOutA_->setObjectName("LbOutA");
  lbSynth_ = new QLabel;
  lbSynth_->setObjectName("LbSynth");
  for (QLabel* label : {lbPcf8574_, lbOutA_, lbSynth_}) layout->addWidget(label);

  layout->addWidget(BuildKeypad());
  layout->addWidget(BuildInputs());

  memo1_ = new Memo([this] { input_({PanelAction::ClearMemo}); });
  memo1_->setObjectName("Memo1");
  memo1_->setFixedHeight(90);
  memo1_->setMaximumBlockCount(static_cast<int>(Board::kMemoLines));
  layout->addWidget(memo1_);

  auto* commands = new QHBoxLayout;
  for (const BoardCommandButton& b : kCommandButtons) {
    auto* button = new QPushButton(b.caption);
    button->setObjectName(b.button);
    const BoardCommand command = b.command;
    connect(button, &QPushButton::clicked, this, [this, command] {
      input_({PanelAction::Command, static_cast<int>(command)});
    });
    commands->addWidget(button);
  }
  layout->addLayout(commands);
  Refresh();
}

QWidget* BoardPanel::BuildKeypad() {
  auto* keypad = new QWidget;
  auto* grid = new QGridLayout(keypad);
  for (std::size_t row = 0; row < kKeypadRows.size(); ++row) {
    for (std::size_t col = 0; col < kKeypadRows[row].size(); ++col) {
      const std::size_t index = static_cast<std::size_t>(kKeypadRows[row][col]);
      auto* key = new QPushButton(kKeypad[index].caption);
      key->setObjectName(kKeypad[index].button);
      connect(key, &QPushButton::pressed, this, [this, index] {
        input_({PanelAction::PressKey, static_cast<int>(index)});
      });
      connect(key, &QPushButton::released, this, [this, index] {
        input_({PanelAction::ReleaseKey, static_cast<int>(index)});
      });
      grid->addWidget(key, static_cast<int>(row), static_cast<int>(col));
    }
  }
  auto* onOff = new QPushButton(QString::fromUtf8(kOnOffCaption.data(), kOnOffCaption.size()));
  onOff->setObjectName("BitBtn13");
  connect(onOff, &QPushButton::pressed, this, [this] { input_({PanelAction::PressOnOff}); });
  connect(onOff, &QPushButton::released, this, [this] { input_({PanelAction::ReleaseOnOff}); });
  grid->addWidget(onOff, static_cast<int>(kKeypadRows.size()), 0);
  auto* lbClavier = new QLabel;
  lbClavier->setObjectName("LbClavier");
  grid->addWidget(lbClavier, static_cast<int>(kKeypadRows.size()), 1, 1, 2);
  // The mains: a click cuts the power, the next one brings it back.
  coupureSecteur_ = new QPushButton(QString::fromUtf8(kPowerCutCaption.data(), kPowerCutCaption.size()));
  coupureSecteur_->setObjectName("CoupureSecteur");
  coupureSecteur_->setCheckable(true);
  connect(coupureSecteur_, &QPushButton::clicked, this,
          [this] { input_({board_.Unpowered ? PanelAction::PowerOn : PanelAction::PowerCut}); });
  grid->addWidget(coupureSecteur_, static_cast<int>(kKeypadRows.size()), 3);
  return keypad;
}

QWidget* BoardPanel::BuildInputs() {
  auto* inputs = new QWidget;
  auto* row = new QHBoxLayout(inputs);
  auto* label1 = new QLabel("Niv Signal");
  label1->setObjectName("Label1");
  row->addWidget(label1);
  niveauSignal_ = new QSpinBox;
  niveauSignal_->setObjectName("NiveauSignal");
  niveauSignal_->setRange(0, 255);
  row->addWidget(niveauSignal_);
  ocFreq_ = new QSpinBox;
  ocFreq_->setObjectName("OcFreq");
  ocFreq_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  row->addWidget(ocFreq_);
  cbOC_ = new QCheckBox("OC");
  cbOC_->setObjectName("CbOC");
  cbOC_->setToolTip("occupation canal");
  row->addWidget(cbOC_);
  connect(niveauSignal_, &QSpinBox::valueChanged, this, [this](int v) {
    input_({PanelAction::SignalLevel, v});
  });
  connect(ocFreq_, &QSpinBox::valueChanged, this, [this](int v) { input_({PanelAction::OcFrequency, v}); });
  connect(cbOC_, &QCheckBox::toggled, this, [this](bool on) { input_({PanelAction::OcBusy, on ? 1 : 0}); });
  return inputs;
}

void BoardPanel::Changed(PanelPart part, bool running) {
  // A firmware that only talks on the serial line repaints only the memo.
  if (part == PanelPart::Memo) {
    memoDirty_ = true;
  } else {
    dirty_ = true;
  }
  if (!running) FlushChanges();
}

void BoardPanel::FlushChanges() {
  if (dirty_) {
    Refresh();
  } else if (memoDirty_ || board_.MemoAdded != memoShownAdded_) {
    RefreshMemo();
  }
  dirty_ = memoDirty_ = false;
}

void BoardPanel::Refresh() {
  ecran1_->update();
  leds_[0]->SetLit(board_.Led1Ton);
  leds_[1]->SetLit(board_.Led2Hp);
  leds_[2]->SetLit(board_.Led3Klx);
  leds_[3]->SetLit(board_.Led4MA);
  lbPcf8574_->setText(ToQString(board_.LbPcf8574));
  lbOutA_->setText(ToQString(board_.LbOutA));
  lbSynth_->setText(ToQString(board_.LbSynth));
  // A board without power shows its displays dark.
  for (QWidget* shown : {static_cast<QWidget*>(ecran1_), static_cast<QWidget*>(lbPcf8574_),
                         static_cast<QWidget*>(lbOutA_), static_cast<QWidget*>(lbSynth_)})
    shown->setEnabled(!board_.Unpowered);
  for (Led* led : leds_) led->setEnabled(!board_.Unpowered);
  // Programmatic values must not echo back into the board as user input.
  const QSignalBlocker b1(niveauSignal_), b2(ocFreq_), b3(cbOC_), b4(coupureSecteur_);
  coupureSecteur_->setChecked(board_.Unpowered);
  niveauSignal_->setValue(board_.NiveauSignal());
  ocFreq_->setValue(board_.OcFreq());
  cbOC_->setChecked(board_.CbOC());
  RefreshMemo();
}

void BoardPanel::SetOnTop(bool on) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  // A change of window flags hides the window; it comes back where it was,
  // without taking the focus from the dialog that caused the change.
  const bool shown = isVisible();
  const QRect at = geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  setGeometry(at);
  if (shown) {
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
}

// Only the lines added since the last refresh are appended: a firmware that
// transmits in a loop must not cost a rebuild of the whole text each time.
// During a run a flood shows only its newest lines: laying out thousands of
// lines ten times a second would slow the run down.
void BoardPanel::RefreshMemo() {
  const auto& memo = board_.Memo1;
  const std::uint64_t added = board_.MemoAdded - memoShownAdded_;
  const std::uint64_t onlyAppended = std::min<std::uint64_t>(memoShownLines_ + added, Board::kMemoLines);
  bool append = added > 0 && added < memo.size() && memo.size() == onlyAppended && !memoPartial_;
  const bool changed = append || memo.size() != memoShownLines_ || added > 0 || (memoPartial_ && !running_);
  const bool flood = running_ && (append ? added : memo.size()) > kRunningMemoLines;
  if (flood) append = false;
  if (changed) {
    const std::size_t shown = flood    ? kRunningMemoLines
                              : append ? static_cast<std::size_t>(added)
                                       : memo.size();
    QString text;
    for (auto line = memo.end() - static_cast<std::ptrdiff_t>(shown); line != memo.end(); ++line) {
      if (!text.isEmpty()) text += '\n';
      text += ToQString(*line);
    }
    if (append) {
      memo1_->appendPlainText(text);
    } else {
      memo1_->setPlainText(text);
    }
    // The newest line in view.
    memo1_->moveCursor(QTextCursor::End);
    memo1_->verticalScrollBar()->setValue(memo1_->verticalScrollBar()->maximum());
  }
  memoShownAdded_ = board_.MemoAdded;
  memoShownLines_ = memo.size();
  memoPartial_ = flood || (memoPartial_ && !changed);
}

void BoardPanel::showEvent(QShowEvent* event) {
  KeepOnScreen(*this);
  QWidget::showEvent(event);
}

void BoardPanel::SetRunning(bool running) {
  running_ = running;
  if (!running && memoPartial_) RefreshMemo();
}

}  // namespace hc11::gui
