// What Tab and Shift+Tab need of the main window: its own panes in the
// order the keys go through them, between the workbench's source pane
// (first) and registers pane (last).
#pragma once

#include <QScrollArea>
#include <QWidget>

namespace hc11::gui {

class FlowView;

class FocusHost {
 public:
  virtual ~FocusHost() = default;

  virtual FlowView& FlowchartView() const = 0;
  virtual QScrollArea& FlowchartScroll() const = 0;
  // The checked button of the pane switch, where the arrows choose the list
  // shown on the right; null when none is checked.
  virtual QWidget* ChosenPaneButton() const = 0;
  // The list shown on the right, and the dump: each a pane of several controls.
  virtual QWidget* RightPaneShown() const = 0;
  virtual QWidget* DumpPane() const = 0;
};

}  // namespace hc11::gui
