// What the window tells and shows after everyday gestures: the status line
// after Ctrl+F8, a refused close and a RAM breakpoint; the dump after a watch
// edit and a typing slip; the flowchart popup's run-to, the file dialogs, the
// information label and dragging boxes.
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "flowchart/view/interaction.h"
#include "tests/gui/gui_fixture.h"
#include "workbench/status_text.h"

namespace hc11::test {
namespace {

class StatusAndViews : public GuiTest {
 protected:
  QString Status() { return window->statusBar()->currentMessage(); }
  gui::FlowView& View() { return *window->findChild<gui::FlowView*>("PaintBox1"); }
  // The view point of the middle of the line of `address`.
  QPoint LinePoint(std::uint16_t address) {
    const Flowchart& sheet = window->flowPane().Sheet();
    const AddressLine at = FindAddressLine(sheet, address);
    EXPECT_NE(at.box, 0) << std::hex << address;
    const TRectangle& b = sheet.Boxes[at.box];
    const int row = b.Haut / static_cast<int>(std::max<std::size_t>(1, b.Lignes.size()));
    return {b.Rect.Left + b.LargLabel + b.Triangle + 6, b.Rect.Top + at.line * row + row / 2};
  }
  QPlainTextEdit& DumpMemo() {
    return *window->findChild<gui::DumpWindow*>("FDump")->findChild<QPlainTextEdit*>("Memo1");
  }
  QLineEdit& DumpAddress() { return *window->findChild<QLineEdit*>("AdrDump"); }
};

TEST_F(StatusAndViews, ReturnUpSaysWhereItClimbedNotThatAStopWasAsked) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Machine& m = w.session().machine();
  for (int i = 0; i < 40 && m.cpu.PC != 0xE014; ++i) Trigger("Step7");  // into compte
  ASSERT_EQ(m.cpu.PC, 0xE014);
  Trigger("RemonterSP");  // Ctrl+F8
  EXPECT_EQ(m.cpu.PC, 0xE012);
  EXPECT_EQ(Status(), "Remonté du SP: E012");
}

TEST_F(StatusAndViews, CloseDuringARunSaysTheCloseWasRefused) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  QTimer::singleShot(20, &w, [&] { w.close(); });
  QTimer::singleShot(5000, &w, [&] { Trigger("Arret1"); });  // a bound, should the close not arrive
  w.session().machine().RefreshEvery = 200;
  Trigger("Executer1");
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Status(), "Fermeture refusée: exécution arrêtée");
}

TEST_F(StatusAndViews, RamBreakpointStopNamesTheAddressAndVariable) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  w.breakpoints().New();
  w.RunBreakDialog = [](BreakDialog& d) {
    d = BreakDialog{"nom", "0006", "I", 2};  // a RAM write, "Break"
    return true;
  };
  w.EditBreak(0);
  ASSERT_TRUE(messages.shown.empty());
  Trigger("Executer1");
  ASSERT_EQ(w.session().machine().cpu.PC, 0xE041);
  EXPECT_EQ(Status(), "Arrêt sur accès mémoire 0006 leds (écriture) en E041");
}

TEST_F(StatusAndViews, DumpFollowsWatchEditsAndSurvivesATypingSlip) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  Trigger("Dump1");
  DumpAddress().selectAll();
  QTest::keyClicks(&DumpAddress(), "0000");
  QTest::keyClick(&DumpAddress(), Qt::Key_Return);
  ASSERT_TRUE(DumpMemo().toPlainText().startsWith("0000  "));

  // A watch on leds ($0006) edited to 5A: the dump shows the new byte.
  w.watches().AddSymbol("leds", 0x0006, 'I');
  w.RunWatchDialog = [](WatchDialog& d) {
    d.value = "5A";
    d.valueModified = true;
    return true;
  };
  w.EditWatch(0);
  ASSERT_EQ(w.session().machine().Memory[0x0006], 0x5A);
  // "0000  " and then " XX" per byte: byte 6 is at column 24.
  EXPECT_EQ(DumpMemo().toPlainText().section('\n', 0, 0).mid(24, 3), " 5A")
      << DumpMemo().toPlainText().section('\n', 0, 0).toStdString();

  // A typing slip is reported and the dump of 0000 stays, also after a step.
  QTest::keyClick(&DumpAddress(), Qt::Key_Backspace);
  QTest::keyClicks(&DumpAddress(), "G");
  QTest::keyClick(&DumpAddress(), Qt::Key_Return);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(DumpMemo().toPlainText().startsWith("0000  "));
  Trigger("Step7");
  EXPECT_TRUE(DumpMemo().toPlainText().startsWith("0000  "));
  // Fixed: the dump follows at once.
  QTest::keyClick(&DumpAddress(), Qt::Key_Backspace);
  QTest::keyClicks(&DumpAddress(), "4");
  EXPECT_TRUE(DumpMemo().toPlainText().startsWith("0004  "))
      << DumpMemo().toPlainText().left(20).toStdString();
}

TEST_F(StatusAndViews, PopupRunsToTheLineRightClickedWithoutALeftClickFirst) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Machine& m = w.session().machine();
  const QPoint at = LinePoint(0xE00D);  // decB
  QMouseEvent move(QEvent::MouseMove, at, View().mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&View(), &move);
  QContextMenuEvent popup(QContextMenuEvent::Mouse, at, View().mapToGlobal(at));
  QApplication::sendEvent(&View(), &popup);
  auto* menu = View().findChild<QMenu*>("PopupMenu2");
  ASSERT_NE(menu, nullptr);
  QAction* runTo = w.Action("PopupMenu2.Continuerjusqua1");
  EXPECT_TRUE(runTo->isEnabled());
  menu->hide();
  runTo->trigger();
  EXPECT_EQ(m.cpu.PC, 0xE00D);
}

TEST_F(StatusAndViews, FileDialogsSayWhatTheyOfferAndAMissingFileInFrench) {
  Open(CopyExample("loop"));
  messages.chosenFile = dir.filePath("absent.lst").toStdString();
  Trigger("OuvrirFichierLst");
  ASSERT_EQ(messages.fileDialogs.size(), 1u);
  EXPECT_EQ(messages.fileDialogs[0], "Ouvrir Fichier.Lst|Fichier listing (*.lst *.LST)");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Fichier introuvable : " + *messages.chosenFile);
  EXPECT_TRUE(window->windowTitle().endsWith("loop"));  // the program stays

  messages.chosenFile = dir.filePath("absent.s").toStdString();
  Trigger("ouvrirfichierS");
  EXPECT_EQ(messages.fileDialogs.back(), "Ouvrir fichier.S|Fichier source (*.s *.S)");
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_FALSE(window->windowTitle().contains("absent.s"));
}

TEST_F(StatusAndViews, InformationLabelStaysWithinTheFlowchart) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  auto* info = w.findChild<QLabel*>("LbInfo");
  QWidget* viewport = w.findChild<QScrollArea*>("ScrollBox1")->viewport();
  auto within = [&] {
    const QRect r = info->geometry();
    return ::testing::AssertionResult(viewport->rect().contains(r))
           << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << " in " << viewport->width()
           << "x" << viewport->height();
  };
  QString sentence;
  for (int i = 0; i < 60; ++i) sentence += QString("mot%1 ").arg(i);
  w.AppendInfoLine((sentence + "la fin").toStdString());
  ASSERT_TRUE(info->isVisible());
  EXPECT_TRUE(within());
  EXPECT_GE(info->height(), 2 * info->fontMetrics().height());  // wrapped, not cut

  // A client that comes and goes: the newest lines only, still inside.
  for (int i = 0; i < 200; ++i)
    w.AppendInfoLine(i % 2 ? "serial: client connected" : "serial: client disconnected");
  EXPECT_TRUE(within());
  EXPECT_TRUE(info->text().endsWith("serial: client connected"));
  EXPECT_FALSE(info->text().contains("la fin"));
}

TEST_F(StatusAndViews, DraggingAFlowBoxSaysWhyItStays) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  const Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine fixed = FindAddressLine(sheet, 0xE00D);
  ASSERT_NE(fixed.box, 0);
  ASSERT_FALSE(CanDrag(sheet, fixed.box));
  const QPoint at = LinePoint(0xE00D);
  const TRect before = sheet.Boxes[fixed.box].Rect;
  QMouseEvent hover(QEvent::MouseMove, at, View().mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&View(), &hover);
  EXPECT_EQ(View().cursor().shape(), Qt::ArrowCursor);
  QTest::mousePress(&View(), Qt::LeftButton, {}, at);
  for (int step = 1; step <= 4; ++step) {
    const QPoint to = at + QPoint(10 * step, 10 * step);
    QMouseEvent move(QEvent::MouseMove, to, View().mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&View(), &move);
  }
  EXPECT_EQ(Status().toStdString(), kFlowBoxFixed);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, at + QPoint(40, 40));
  EXPECT_EQ(sheet.Boxes[fixed.box].Rect, before);
  EXPECT_FALSE(w.flowPane().Sheet().CoordsModified);

  // A box with a place of its own shows the hand before the press.
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
    if (!CanDrag(sheet, i) || sheet.Boxes[i].Titre) continue;
    const TRectangle& b = sheet.Boxes[i];
    const QPoint over(b.Rect.Left + b.LargLabel + 4, b.Rect.Top + 6);
    const std::vector<int> hits = HitBox(sheet, over.x(), over.y());
    if (hits.empty() || hits.back() != i) continue;
    QMouseEvent onIt(QEvent::MouseMove, over, View().mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&View(), &onIt);
    EXPECT_EQ(View().cursor().shape(), Qt::OpenHandCursor);
    break;
  }
}

}  // namespace
}  // namespace hc11::test
