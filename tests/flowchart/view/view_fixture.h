// A laid-out sheet with the view's display state beside it, built the way
// the window builds it (BuildSheet clears the selection), no painting.
#pragma once

#include "flowchart/view/display_state.h"
#include "flowchart/view/interaction.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {

class ViewFixture : public SheetFixture {
 protected:
  void Build(const std::string& fn) {
    Function(fn);
    sheet.BuildLabelIndex();
    ASSERT_TRUE(BuildSheet(sheet, display, fn));
  }

  FlowDisplay display;
};

}  // namespace hc11::test
