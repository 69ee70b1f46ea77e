// The window without a mouse: Tab and Shift+Tab go from pane to pane
// (source, flowchart, the pane switch, the right-hand list, the dump, the
// registers), the
// pane that has the focus wears a frame, "Basculer point d'arrêt" (F5) sets
// or removes the breakpoint of the chosen line, and every menu of the menu
// bar answers to an Alt letter of its own.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "app/gui/focus_host.h"
#include "app/gui/window_frame.h"

namespace hc11::gui {

class Workbench;

class PaneFocus final : public QObject {
 public:
  PaneFocus(WindowFrame& frame, FocusHost& panes, Workbench& bench);
  ~PaneFocus() override;

  // F5: the source line under the cursor when the source pane has the
  // focus, otherwise the line chosen last (the target of F4).
  void ToggleBreakpoint();
  // The frame around the pane that has the focus; hidden when none has it.
  QWidget* Frame() const { return frame_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Stop {
    QWidget* focus;  // what takes the focus
    QWidget* frame;  // what the frame goes round
  };
  std::vector<Stop> Stops() const;
  void AddStops(std::vector<Stop>& stops, QWidget* container) const;
  void FocusMoved(QWidget* now);
  void GiveDistinctMnemonics();

  WindowFrame& window_;
  FocusHost& panes_;
  Workbench& bench_;
  QPointer<QWidget> frame_;
  QPointer<QWidget> framed_;  // the widget the frame is drawn on
};

}  // namespace hc11::gui
