// TForm1's flowchart pane under the mouse: the value hint (Label1) over the
// line under the pointer, and the popup menu PopupMenu2 whose captions and
// enabled states are rewritten each time it opens.
#include <QMenu>
#include <QScrollBar>

#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "core/text_util.h"
#include "debugger/coverage_view.h"
#include "debugger/function_source.h"
#include "listing/symbols.h"

namespace hc11::gui {

namespace {

// The popup's items in menu order: component name and its place in FlowPopup.
struct PopupEntry {
  const char* name;
  PopupItem FlowPopup::*item;  // nullptr: caption and state set elsewhere
  const char* caption;
};
constexpr PopupEntry kPopupEntries[] = {
    {"Lien1", &FlowPopup::lien, "Lien"},
    {"ChercherR1", &FlowPopup::chercherR, "Chercher R...."},
    {"Chercher", &FlowPopup::chercher, "Chercher"},
    {"Continuerjusqua1", &FlowPopup::continuer, "Continuer jusqu'a"},
    {"BreakEdit1", nullptr, "Break edit: "},
    {"BreakSupprimer1", nullptr, "Break Supprimer"},
    {"Edit1", &FlowPopup::edit, "Editer R"},
    {"Surveiller1", &FlowPopup::surveiller, "Surveiller"},
    {"Tracer1", &FlowPopup::tracer, "Tracer R"},
    {"AffInfos1", nullptr, "Aff Infos"},
    {"Affichersource1", nullptr, "Afficher source"},
};

// The address of the line the pointer is on, if it has one.
std::optional<std::uint16_t> HoveredAddress(const Flowchart& sheet, const FlowDisplay& display, int box) {
  if (!sheet.Boxes.Valid(box) || display.HitLineIndex < 0) return std::nullopt;
  const auto& lines = sheet.Boxes[box].Lignes;
  if (static_cast<std::size_t>(display.HitLineIndex) >= lines.size()) return std::nullopt;
  const std::string& text = lines[static_cast<std::size_t>(display.HitLineIndex)].AddrText;
  return text.empty() ? std::nullopt : StrToWord("$" + text);
}

}  // namespace

void MainWindow::HoverAt(int x, int y) {
  Flowchart& sheet = pane_.Sheet();
  FlowDisplay& display = pane_.Display();
  const std::vector<int> hits = HitBox(sheet, x, y);
  hoverBox_ = hits.empty() ? 0 : hits.front();
  paintBox1_->setToolTip(ToQString(CoverageHintAt(pane_, x, y).value_or("")));
  if (hoverBox_ == 0) {
    display.HitLineIndex = -1;
    display.FollowName.clear();
    label1_->hide();
    return;
  }
  HitLine(sheet, display, hoverBox_, x, y);
  const TRectangle& box = sheet.Boxes[hoverBox_];
  if (display.HitLineIndex < 0 || static_cast<std::size_t>(display.HitLineIndex) >= box.Lignes.size()) {
    label1_->hide();
    return;
  }
  const TLigne& line = box.Lignes[static_cast<std::size_t>(display.HitLineIndex)];
  label1_->setText(
      ToQString(ValueHint(session_.machine(), session_.listing().Symbols, line.AddrText, line.Text, hover_)));
  label1_->adjustSize();
  const QPoint at =
      paintBox1_->ToViewport(box.Rect.Left, box.Rect.Top + display.HitLineIndex * (sheet.LineH + 3));
  int left = at.x();
  // Past the middle of the pane the hint goes to the left of the line.
  if (left + label1_->width() > scrollBox1_->viewport()->width() / 2) left -= label1_->width() + 10;
  label1_->move(std::max(0, left), at.y());
  label1_->show();
  label1_->raise();
}

QMenu* MainWindow::FlowPopupMenu() {
  if (popupMenu2_ == nullptr) {
    popupMenu2_ = new QMenu(paintBox1_);
    popupMenu2_->setObjectName("PopupMenu2");
    for (const PopupEntry& e : kPopupEntries) {
      QAction* a = popupMenu2_->addAction(e.caption);
      a->setObjectName(e.name);
      const QString name = e.name;
      connect(a, &QAction::triggered, this, [this, name] { PopupCommand(name); });
      actions_[QString("PopupMenu2.") + e.name] = a;
    }
  }
  const bool haveFunction = !pane_.CurrentFunction().empty() && pane_.Sheet().Boxes.Count() > 0;
  popup_ = BuildFlowPopup(LinkTargetOf(pane_.Display().FollowName), haveFunction,
                          SelectedLine(pane_.Sheet(), pane_.Display()), hover_);
  for (const PopupEntry& e : kPopupEntries) {
    if (e.item == nullptr) continue;
    QAction* a = Action(QString("PopupMenu2.") + e.name);
    a->setText(ToQString((popup_.*e.item).caption));
    a->setEnabled((popup_.*e.item).enabled);
  }
  const auto address = HoveredAddress(pane_.Sheet(), pane_.Display(), hoverBox_);
  QAction* breakEdit = Action("PopupMenu2.BreakEdit1");
  breakEdit->setText(
      ToQString(address ? session_.breakpoints().BreakEditCaption(*address) : std::string("Break edit: ")));
  breakEdit->setEnabled(address.has_value());
  Action("PopupMenu2.BreakSupprimer1")->setEnabled(address && session_.breakpoints().CanDeleteAt(*address));
  Action("PopupMenu2.AffInfos1")->setEnabled(haveFunction);
  Action("PopupMenu2.Affichersource1")->setEnabled(haveFunction);
  return popupMenu2_;
}

void MainWindow::PopupCommand(const QString& name) {
  QAction* action = Action("PopupMenu2." + name);
  const std::string word = QuotedWord(action->text().toStdString());
  const auto address = HoveredAddress(pane_.Sheet(), pane_.Display(), hoverBox_);
  Machine& m = session_.machine();
  if (name == "Lien1") {
    std::string message;
    const bool followed = pane_.FollowLink(message);
    if (!message.empty()) AppendInfoLine(message);
    if (followed) HistoryMoved(true);
  } else if (name == "ChercherR1" || name == "Chercher") {
    Search(word);
  } else if (name == "Continuerjusqua1") {
    run_.RunToCursor(pane_.SelectedAddress());
  } else if (name == "BreakEdit1" && address) {
    session_.breakpoints().BreakEditAt(*address, session_.listing().LineList);
    BreaksChanged();
    SelectPane(RightPane::Break);
  } else if (name == "BreakSupprimer1" && address) {
    if (const auto index = session_.breakpoints().Find(*address))
      listBreak1_->setCurrentRow(static_cast<int>(*index));
    session_.breakpoints().BreakDeleteAt(*address);
    BreaksChanged();
    SelectPane(RightPane::Break);
  } else if (name == "Edit1") {
    // The hint's operand, offset included ("adval+5"), else the symbol by name.
    const auto at = hover_ && hover_->name == word ? std::optional<std::uint16_t>(hover_->address)
                                                   : FindSymbol(session_.listing().Symbols, word, 'I');
    if (!at) return;
    const auto answer = messages_.Prompt("Saisir registre ", word, Format("$%4.4X", m.Memory[*at]));
    const auto value = answer ? StrToWord(Trim(*answer)) : std::nullopt;
    if (value && *value <= 255) {
      const std::uint8_t byte = static_cast<std::uint8_t>(*value);
      controller_.WriteMemory(*at, {&byte, 1});
      dump_->Build(false);
    }
  } else if (name == "Surveiller1" && hover_) {
    session_.watches().AddSymbol(hover_->name, hover_->address, 'I');
    WatchesChanged();
  } else if (name == "Tracer1" && hover_) {
    session_.breakpoints().TraceVariable(hover_->name, hover_->address);
    BreaksChanged();
    SelectPane(RightPane::Break);
  } else if (name == "Affichersource1") {
    ShowSourceExcerpt(FunctionSourceLines(listingBase_, pane_.Sheet()));
  } else if (name == "AffInfos1") {
    lbInfo_->clear();
    if (pane_.Sheet().Boxes.Valid(hoverBox_))
      for (const std::string& line : pane_.Sheet().DumpObject(pane_.Sheet().Boxes[hoverBox_]))
        AppendInfoLine(line);
  }
}

}  // namespace hc11::gui
