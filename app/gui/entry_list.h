// The breakpoint and watch lists: one entry selected at a time, the goto
// strip of the code lists, and the Delete key handed to the owner.
#pragma once

#include <functional>

#include "app/gui/trace_pane.h"

namespace hc11::gui {

class EntryList final : public CodeList {
 public:
  explicit EntryList(QWidget* parent = nullptr);

  // Delete with a row selected.
  std::function<void(int row)> OnDelete;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace hc11::gui
