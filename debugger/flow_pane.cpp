#include "debugger/flow_pane.h"

#include <algorithm>

#include "core/text_util.h"
#include "debugger/navigation.h"
#include "flowchart/pseudo_code.h"
#include "listing/symbols.h"

namespace hc11 {

FlowPane::FlowPane(Listing& listing, Messages& messages, const TextMetrics& metrics)
    : listing_(listing), sheet_(listing, messages, metrics) {}

void FlowPane::AfterLoad(const std::string& listingBase, bool listingRead) {
  if (listingRead) ConvertAll(listing_);
  sheet_.BuildLabelIndex();
  current_.clear();
  // Names of another program's functions leave the history.
  for (int i = static_cast<int>(history_.size()) - 1; i >= 0; --i) {
    if (IsFunction(history_[static_cast<std::size_t>(i)])) continue;
    history_.erase(history_.begin() + i);
    if (historyIndex_ > i) --historyIndex_;
  }
  if (listing_.LineList.empty()) return;
  if (historyIndex_ >= static_cast<int>(history_.size())) historyIndex_ = history_.empty() ? -1 : 0;
  sheet_.LoadCoordFile(listingBase);
  if (historyIndex_ >= 0) {
    ShowFunction(history_[static_cast<std::size_t>(historyIndex_)], false);
  } else if (!listing_.FunctionList.entries.empty()) {
    ShowFunction(listing_.FunctionList.entries.begin()->first);
  }
}

bool FlowPane::IsFunction(std::string_view name) const {
  return listing_.FunctionList.entries.contains(std::string(name));
}

bool FlowPane::ShowFunction(std::string_view name, bool enter) {
  if (!IsFunction(name)) return false;
  current_ = name;
  if (enter) Enter(current_);
  return BuildSheet(sheet_, display_, current_);
}

void FlowPane::Enter(const std::string& name) {
  const int at = std::max(historyIndex_, 0);
  for (int i = static_cast<int>(history_.size()) - 1; i >= 0; --i) {
    if (i != historyIndex_ && history_[static_cast<std::size_t>(i)] == name)
      history_.erase(history_.begin() + i);
  }
  const int insertAt = std::min(at, static_cast<int>(history_.size()));
  if (historyIndex_ >= 0 && historyIndex_ < static_cast<int>(history_.size()) &&
      history_[static_cast<std::size_t>(historyIndex_)] == name) {
    return;  // already the selected entry
  }
  history_.insert(history_.begin() + insertAt, name);
  historyIndex_ = insertAt;
}

bool FlowPane::ShowAddress(std::uint16_t address, std::uint16_t pc, std::uint16_t& runTarget,
                           SheetViewport* viewport) {
  const std::string function = FunctionOfAddress(listing_.LabelList, address);
  if (function.empty()) return false;
  bool rebuilt = false;
  if (function != current_) {
    ShowFunction(function);
    rebuilt = true;
  }
  hc11::ShowAddress(sheet_, display_, address, pc, runTarget, viewport);
  return rebuilt;
}

bool FlowPane::SelectAt(int x, int y, std::uint16_t pc, std::uint16_t& runTarget) {
  const std::vector<int> hits = HitBox(sheet_, x, y);
  if (hits.empty()) return false;
  HitLine(sheet_, display_, hits.front(), x, y);
  if (display_.HitLineIndex < 0) return false;
  const TLigne& line = sheet_.Boxes[hits.front()].Lignes[static_cast<std::size_t>(display_.HitLineIndex)];
  const auto address = StrToWord("$" + line.AddrText);
  if (line.AddrText.empty() || !address) return false;
  if (*address == pc) {
    // The PC's line stays navy; selecting it still sets the run-to target.
    display_.SelAddrText = line.AddrText;
    runTarget = *address;
    return true;
  }
  return hc11::ShowAddress(sheet_, display_, *address, pc, runTarget);
}

std::optional<std::uint16_t> FlowPane::SelectedAddress() const {
  if (display_.SelAddrText == kNoSelection || display_.SelAddrText.empty()) return std::nullopt;
  return StrToWord("$" + display_.SelAddrText);
}

std::optional<std::pair<std::string, std::string>> FlowPane::SelectedLine() const {
  const auto address = SelectedAddress();
  if (!address) return std::nullopt;
  const AddressLine at = FindAddressLine(sheet_, *address);
  if (at.box == 0) return std::nullopt;
  const TLigne& line = sheet_.Boxes[at.box].Lignes[static_cast<std::size_t>(at.line)];
  return std::make_pair(line.AddrText, line.Text);
}

const TLigne* FlowPane::LineAt(int x, int y) {
  const std::vector<int> hits = HitBox(sheet_, x, y);
  display_.FollowName.clear();
  if (hits.empty()) return nullptr;
  HitLine(sheet_, display_, hits.front(), x, y);
  if (display_.HitLineIndex < 0) return nullptr;
  const TRectangle& box = sheet_.Boxes[hits.front()];
  hitLeft_ = box.Rect.Left;
  hitTop_ = box.Rect.Top + display_.HitLineIndex * (sheet_.LineH + 3);
  return &box.Lignes[static_cast<std::size_t>(display_.HitLineIndex)];
}

bool FlowPane::FollowLink(std::string& message) {
  message.clear();
  if (display_.FollowName.empty()) return false;
  const std::string target = LinkTargetOf(display_.FollowName);
  if (!IsFunction(target)) {
    message = "Lien: " + target + " n'est pas une fonction";
    return false;
  }
  ShowFunction(target);
  return true;
}

bool FlowPane::SelectHistory(int index) {
  if (index < 0 || index >= static_cast<int>(history_.size())) return false;
  historyIndex_ = index;
  return ShowFunction(history_[static_cast<std::size_t>(index)], false);
}

bool FlowPane::Precedent() {
  if (historyIndex_ + 1 >= static_cast<int>(history_.size())) return false;
  return SelectHistory(historyIndex_ + 1);
}

bool FlowPane::Suivant() {
  if (historyIndex_ <= 0) return false;
  return SelectHistory(historyIndex_ - 1);
}

}  // namespace hc11
