// The flowchart pane without its widget: which function is shown, the
// history of visited functions (ListUrl), the line of the program counter and
// the line the user selected. The window paints Sheet() with Display().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "flowchart/view/display_state.h"
#include "flowchart/view/interaction.h"
#include "listing/listing_types.h"

namespace hc11 {

class FlowPane {
 public:
  FlowPane(Listing& listing, Messages& messages, const TextMetrics& metrics);

  Flowchart& Sheet() { return sheet_; }
  FlowDisplay& Display() { return display_; }
  const std::string& CurrentFunction() const { return current_; }

  // After the listing was read: pseudo-code, label index, saved positions,
  // then the function selected in the history (or the first function).
  void AfterLoad(const std::string& listingBase, bool listingRead);

  // Builds a function's sheet; with `enter` it goes into the history at the
  // selected position. False when the sheet has no box; a name that is no
  // function changes nothing.
  bool ShowFunction(std::string_view name, bool enter = true);
  bool IsFunction(std::string_view name) const;

  // "Lien": the function called by the line under the pointer is shown and
  // entered in the history. False with `message` when that line calls no
  // function of the program (message empty when no call line is pointed at).
  bool FollowLink(std::string& message);

  // Shows where `address` lies: the function holding it (drawn and entered
  // in the history when it is not the one shown), then its line, marked as the
  // PC's line when `address` is `pc`. True when the sheet was rebuilt.
  bool ShowAddress(std::uint16_t address, std::uint16_t pc, std::uint16_t& runTarget,
                   SheetViewport* viewport = nullptr);

  // The line under the pointer becomes the selected line (teal). False when
  // the point is on no line with an address.
  bool SelectAt(int x, int y, std::uint16_t pc, std::uint16_t& runTarget);
  // The selected line's address: the target of "Jusqu'au curseur" (F4).
  std::optional<std::uint16_t> SelectedAddress() const;
  // The selected line's address text and statement, for the popup's captions.
  std::optional<std::pair<std::string, std::string>> SelectedLine() const;

  // The line under the pointer (nullptr when none); FollowName becomes the
  // callee when it is a call line.
  const TLigne* LineAt(int x, int y);
  // Where LineAt found its line: the box's left edge and the line's top.
  int HitLeft() const { return hitLeft_; }
  int HitTop() const { return hitTop_; }

  // ListUrl: newest first; Precedent moves to an older entry, Suivant back.
  const std::vector<std::string>& History() const { return history_; }
  int HistoryIndex() const { return historyIndex_; }
  bool Precedent();
  bool Suivant();
  bool SelectHistory(int index);

 private:
  void Enter(const std::string& name);

  Listing& listing_;
  Flowchart sheet_;
  FlowDisplay display_;
  std::string current_;
  std::vector<std::string> history_;
  int historyIndex_ = -1;
  int hitLeft_ = 0, hitTop_ = 0;
};

}  // namespace hc11
