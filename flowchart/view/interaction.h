// What the flowchart view does with the mouse and with addresses: which box
// and line are under the pointer, which function a call line leads to,
// dragging a box, and marking and scrolling to the line of an address. No
// GUI library here: painting goes through SheetPainter, scrolling through
// SheetViewport, so the window and the tests drive the same code.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "flowchart/sheet.h"
#include "flowchart/view/display_state.h"

namespace hc11 {

// The scroll area that shows the sheet. SetScroll may be given values out of
// range (negative ones included); the viewport clamps them.
class SheetViewport {
 public:
  virtual ~SheetViewport() = default;
  virtual int ScrollX() const = 0;
  virtual int ScrollY() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetScroll(int x, int y) = 0;
};

// Builds `functionName`'s sheet and clears the selected line. False when the
// sheet has no box.
bool BuildSheet(Flowchart& sheet, FlowDisplay& display, std::string_view functionName);

// Indexes of the boxes containing (x, y), in index order: the first is the one
// to hover, the last (painted on top) the one to drag.
std::vector<int> HitBox(const Flowchart& sheet, int x, int y);

// Sets HitLineIndex to the line of box `box` under y (-1 when none) and
// FollowName to the name a call line leads to (empty for other lines). True
// when the line is a call.
bool HitLine(const Flowchart& sheet, FlowDisplay& display, int box, int x, int y);

// The name HitLine takes from a call line's text.
std::string FollowNameOf(std::string_view callText);

// Places box `box` and every box it hangs from (and the first box when it is
// reached from there), in index order, after the box was moved.
void MoveGroup(Flowchart& sheet, int box);

// Where an address is drawn: the first box, and its first line, whose address
// range (AddrText to AddrEndText, or AddrText alone) holds it.
struct AddressLine {
  int box = 0;  // 0 when no line holds the address
  int line = -1;
  std::uint16_t end = 0;  // last address of the line's range
};
AddressLine FindAddressLine(const Flowchart& sheet, std::uint16_t address);

// Marks the line holding `address`: the program-counter line when `address`
// is `pc`, the selected line otherwise. `runTarget` (the run engine's target
// of "run to") becomes the end of the line's range. The viewport, when given,
// is scrolled to centre the line if it lies near an edge; the painter, when
// given, repaints the previously highlighted box and this one, which becomes
// HighlightBox. False, with nothing changed, when no line holds the address.
bool ShowAddress(Flowchart& sheet, FlowDisplay& display, std::uint16_t address, std::uint16_t pc,
                 std::uint16_t& runTarget, SheetViewport* viewport = nullptr,
                 SheetPainter* painter = nullptr);

// Dragging a box with the mouse. The window calls ButtonDown, Move for every
// pointer move with the button held, and ButtonUp; after a Move that returns
// true it paints with relayout, after a ButtonUp that returns true it resizes
// the bitmap to PicW x PicH and paints with relayout.
// Whether dragging the box moves it: a box with a place of its own (one
// without parent, or one hung at an offset: a jump target, a comment box)
// does; a box hung in the flow (and a title box, hung on its call) is put
// back under the box above it at once.
bool CanDrag(const Flowchart& sheet, int box);

class SheetDrag {
 public:
  // The first `movesToSkip` moves after the press are ignored, so that a
  // click does not nudge the box.
  explicit SheetDrag(int movesToSkip = 2) : skip_(movesToSkip) {}

  // Grabs the last box containing (x, y); returns its index, 0 when none.
  int ButtonDown(Flowchart& sheet, int x, int y);
  // Moves the grabbed box so that the grab point follows the pointer. True
  // when something was moved.
  bool Move(Flowchart& sheet, int x, int y);
  // Ends the drag. True when something was painted beyond the bitmap, which
  // must then be enlarged (SheetOverflow is cleared).
  bool ButtonUp(Flowchart& sheet);
  int Dragged() const { return box_; }

 private:
  int skip_;
  int box_ = 0;
  int moves_ = 0;
};

}  // namespace hc11
