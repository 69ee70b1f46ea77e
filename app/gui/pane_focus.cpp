#include "app/gui/pane_focus.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <optional>

#include "app/gui/flow_view.h"
#include "app/gui/registers_pane.h"
#include "app/gui/source_pane.h"
#include "app/gui/workbench.h"
#include "workbench/keyboard_access.h"
#include "workbench/status_text.h"

namespace hc11::gui {

namespace {

// Drawn over the pane, letting every press through to it.
class FocusFrame final : public QWidget {
 public:
  FocusFrame() {
    setObjectName("CadreFocus");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    // Orange: apart from the teal selection and the navy PC line.
    p.setPen(QPen(QColor(0xE0, 0x70, 0x00), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  }
};

bool CanTakeFocus(const QWidget* w) {
  return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0;
}

}  // namespace

PaneFocus::PaneFocus(WindowFrame& frame, FocusHost& panes, Workbench& bench)
    : window_(frame), panes_(panes), bench_(bench) {
  auto* toggle = new QAction(QString::fromUtf8("Basculer point d'arrêt"), &window_.Window());
  toggle->setObjectName("BasculerPointArret");
  toggle->setShortcut(Qt::Key_F5);
  connect(toggle, &QAction::triggered, this, [this] { ToggleBreakpoint(); });
  if (QMenu* run = window_.Menus().run) {
    run->addSeparator();
    run->addAction(toggle);
  }
  window_.RegisterAction("BasculerPointArret", toggle);
  SourcePane& source = bench_.sourcePane();
  source.addAction(toggle);  // in its popup, beside "Break edit"

  GiveDistinctMnemonics();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusMoved(now); });
  qApp->installEventFilter(this);
}

PaneFocus::~PaneFocus() {
  qApp->removeEventFilter(this);
  delete frame_.data();
}

void PaneFocus::GiveDistinctMnemonics() {
  const QList<QAction*> items = window_.Window().menuBar()->actions();
  std::vector<std::string> captions;
  for (QAction* a : items) captions.push_back(a->text().toStdString());
  const std::vector<std::string> marked = WithDistinctMnemonics(captions);
  for (int i = 0; i < items.size(); ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (marked[k] != captions[k]) items[i]->setText(QString::fromStdString(marked[k]));
  }
}

void PaneFocus::AddStops(std::vector<Stop>& stops, QWidget* container) const {
  if (container == nullptr) return;
  if (container->focusPolicy() & Qt::TabFocus) {
    stops.push_back({container, container});
    return;
  }
  // A pane made of several controls: each of them, in the order they were made.
  std::vector<QWidget*> taken;
  for (QWidget* child : container->findChildren<QWidget*>()) {
    if (!(child->focusPolicy() & Qt::TabFocus) || qobject_cast<QScrollBar*>(child)) continue;
    bool inside = false;
    for (QWidget* t : taken) inside = inside || t->isAncestorOf(child);
    if (inside) continue;
    taken.push_back(child);
    stops.push_back({child, child});
  }
}

std::vector<PaneFocus::Stop> PaneFocus::Stops() const {
  std::vector<Stop> stops;
  stops.push_back({&bench_.sourcePane(), &bench_.sourcePane()});
  stops.push_back({&panes_.FlowchartView(), &panes_.FlowchartScroll()});
  if (QWidget* button = panes_.ChosenPaneButton()) stops.push_back({button, button->parentWidget()});
  AddStops(stops, panes_.RightPaneShown());
  AddStops(stops, panes_.DumpPane());
  stops.push_back({&bench_.registersPane(), &bench_.registersPane()});
  return stops;
}

bool PaneFocus::eventFilter(QObject* watched, QEvent* event) {
  if (watched == framed_ && event->type() == QEvent::Resize && frame_) {
    frame_->setGeometry(framed_->rect());
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
      (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return false;
  QWidget* focus = QApplication::focusWidget();
  const std::vector<Stop> stops = Stops();
  std::optional<std::size_t> current;
  std::vector<bool> available;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    available.push_back(CanTakeFocus(stops[i].focus));
    if (focus != nullptr && (focus == stops[i].focus || stops[i].focus->isAncestorOf(focus))) current = i;
  }
  // Elsewhere (the top bar, the find box, a dialog) Tab keeps its usual
  // order; from the bare window it enters the panes.
  QWidget* window = &window_.Window();
  const bool bare = (focus == nullptr || focus == window) && QApplication::activeWindow() == window;
  if (!current && !bare) return false;
  const bool backward = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
  const auto next = NextFocusStop(available, current, backward);
  if (!next) return false;
  stops[*next].focus->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
  return true;
}

void PaneFocus::FocusMoved(QWidget* now) {
  QWidget* target = nullptr;
  if (now != nullptr) {
    for (const Stop& s : Stops())
      if (now == s.focus || s.focus->isAncestorOf(now)) target = s.frame;
  }
  if (target == nullptr) {
    if (frame_) frame_->hide();
    framed_ = nullptr;
    return;
  }
  if (!frame_) frame_ = new FocusFrame;
  if (frame_->parentWidget() != target) frame_->setParent(target);
  framed_ = target;
  frame_->setGeometry(target->rect());
  frame_->raise();
  frame_->show();
}

void PaneFocus::ToggleBreakpoint() {
  Workbench& bench = bench_;
  SourcePane& source = bench.sourcePane();
  if (source.hasFocus() && source.currentRow() >= 0) {
    bench.MarginClick(static_cast<std::size_t>(source.currentRow()));
    return;
  }
  if (const auto target = bench.CursorTarget()) {
    bench.ToggleAt(*target);
    return;
  }
  bench.Status(kNoLineSelected);
}

}  // namespace hc11::gui
