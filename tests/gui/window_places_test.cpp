// Where the window's parts land: the board panel, the docks and the dump
// window stay on the visible screen whatever place was saved, the first start
// puts the panel clear of every pane, and the top bar's parts never overlap.
// These tests also run on a 1366x768 screen and at 150% (see CMakeLists.txt).
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>
#include <algorithm>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/workbench.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

class WindowPlaces : public GuiTest {
 protected:
  void WriteSettings(const std::string& text) {
    QFile ini(dir.filePath("hc11flow.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray::fromStdString(text));
  }
  // As start-up does on a screen of its own: the window fills the screen.
  gui::MainWindow& OpenOnScreen(const std::string& program) {
    gui::StartOptions options;
    options.settingsPath = dir.filePath("hc11flow.ini").toStdString();
    options.program = program;
    window = std::make_unique<gui::MainWindow>(messages, options);
    window->setGeometry(Screen());
    window->show();
    window->Start();
    return *window;
  }
  static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
  static QRect Global(const QWidget& w) { return QRect(w.mapToGlobal(QPoint(0, 0)), w.size()); }
};

TEST_F(WindowPlaces, SavedPanelPlaceOffTheScreenComesBackOnIt) {
  // Saved at 100% on 1920x1080: at 150% (or on a smaller screen) only a
  // corner would be visible.
  WriteSettings("[EnvironForm]\nH=420\nT=815\nL=1535\nW=330\nv=1\n");
  gui::MainWindow& w = OpenOnScreen(CopyExample("loop"));
  gui::BoardPanel& panel = w.boardPanel();
  ASSERT_TRUE(panel.isVisible());
  EXPECT_TRUE(Screen().contains(panel.geometry())) << panel.geometry().x() << "," << panel.geometry().y();

  // Hidden, moved away (another screen arrangement), shown again: on screen.
  Trigger("environ1");
  ASSERT_FALSE(panel.isVisible());
  panel.move(Screen().right() + 500, Screen().bottom() + 500);
  Trigger("environ1");
  ASSERT_TRUE(panel.isVisible());
  EXPECT_TRUE(Screen().contains(panel.geometry()));
  // Every key and button of the panel is inside the screen.
  for (const char* name : {"BitBtn1", "BitBtn12", "BitBtn13", "Button1", "SvCfg", "Memo1"}) {
    auto* part = panel.findChild<QWidget*>(name);
    ASSERT_NE(part, nullptr) << name;
    EXPECT_TRUE(Screen().contains(Global(*part))) << name;
  }
}

TEST_F(WindowPlaces, FirstStartPutsThePanelOnTheScreenClearOfThePanes) {
  gui::MainWindow& w = OpenOnScreen(CopyExample("loop"));  // no settings file
  const QRect panel = w.boardPanel().geometry();
  EXPECT_TRUE(Screen().contains(panel));
  // Wherever the flowchart leaves room for it, the panel covers no pane.
  const QRect flowchart = Global(*w.findChild<QWidget*>("ScrollBox1"));
  if (flowchart.width() >= panel.width() && flowchart.height() >= panel.height()) {
    for (QWidget* pane : {static_cast<QWidget*>(&w.workbench().sourceDock()),
                          static_cast<QWidget*>(&w.workbench().registersDock()),
                          w.findChild<QWidget*>("Panel3"), w.findChild<QWidget*>("SpeedBar")}) {
      ASSERT_NE(pane, nullptr);
      EXPECT_FALSE(Global(*pane).intersects(panel)) << pane->objectName().toStdString();
    }
  }
}

// A window manager maximizes the window after it was shown: the first place
// follows the window's final size until the user moves the panel.
TEST_F(WindowPlaces, FirstStartPlaceFollowsTheWindowUntilThePanelIsMoved) {
  gui::StartOptions options;
  options.settingsPath = dir.filePath("hc11flow.ini").toStdString();
  options.program = CopyExample("loop");
  window = std::make_unique<gui::MainWindow>(messages, options);
  gui::MainWindow& w = *window;
  w.setGeometry(QRect(Screen().topLeft(), QSize(800, 600)));
  w.show();
  w.Start();
  gui::BoardPanel& panel = w.boardPanel();
  const QRect small = panel.geometry();
  w.setGeometry(Screen());
  QApplication::processEvents();
  const QRect flowchart = Global(*w.findChild<QWidget*>("ScrollBox1"));
  const QRect grown = panel.geometry();
  EXPECT_NE(grown, small);
  EXPECT_TRUE(Screen().contains(grown));
  if (flowchart.width() >= grown.width() && flowchart.height() >= grown.height()) {
    EXPECT_TRUE(flowchart.contains(grown)) << grown.x() << "," << grown.y();
  }

  const QPoint moved = grown.topLeft() - QPoint(40, 40);
  panel.move(moved);
  QApplication::processEvents();
  const QRect placed = panel.geometry();
  w.setGeometry(QRect(Screen().topLeft(), QSize(900, 700)));
  QApplication::processEvents();
  EXPECT_EQ(panel.geometry(), placed);
}

TEST_F(WindowPlaces, DocksSavedSqueezedComeBackAtAUsableWidth) {
  // Saved at 150% on a small screen, where the pane was squeezed.
  WriteSettings("[Affichage]\nSourceVisible=1\nSourceZone=gauche\nSourceLargeur=40\nRegistresHauteur=12\n");
  gui::MainWindow& w = OpenOnScreen(CopyExample("loop"));
  QApplication::processEvents();
  EXPECT_GE(w.workbench().sourceDock().width(), 200);
  EXPECT_GE(w.workbench().registersDock().height(), 100);
}

TEST_F(WindowPlaces, DumpWindowOpensInsideItsArea) {
  gui::MainWindow& w = OpenOnScreen(CopyExample("loop"));
  auto* area = w.findChild<QMdiArea*>("MdiArea");
  ASSERT_NE(area, nullptr);
  ASSERT_FALSE(area->subWindowList().isEmpty());
  QMdiSubWindow* dump = area->subWindowList().front();
  dump->hide();
  dump->move(area->viewport()->width() + 300, area->viewport()->height() + 300);
  Trigger("Dump1");
  ASSERT_TRUE(dump->isVisible());
  EXPECT_TRUE(area->viewport()->rect().intersects(dump->geometry()));
  EXPECT_GE(dump->x(), 0);
  EXPECT_GE(dump->y(), 0);
  EXPECT_LE(dump->geometry().right(), std::max(area->viewport()->width(), dump->width()) - 1);
}

// No two parts of the top bar overlap, each lies inside the bar, no text is
// squeezed below its line height, and the processor line shows its time.
TEST_F(WindowPlaces, TopBarPartsNeverOverlap) {
  gui::MainWindow& w = OpenOnScreen(CopyExample("loop"));
  Trigger("Step7");
  QApplication::processEvents();
  QWidget* bar = w.findChild<QWidget*>("SpeedBar");
  ASSERT_NE(bar, nullptr);
  std::vector<QWidget*> parts;
  for (const char* name : {"LigneX1", "LigneX2", "Cas_Break", "LabelPC", "LabelA", "LabelB", "LabelX",
                           "LabelY", "CbDebugOnce", "GroupBox1", "ListUrl"}) {
    auto* part = bar->findChild<QWidget*>(name);
    ASSERT_NE(part, nullptr) << name;
    ASSERT_TRUE(part->isVisible()) << name;
    parts.push_back(part);
  }
  const QRect inside = bar->rect();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const QRect a(parts[i]->mapTo(bar, QPoint(0, 0)), parts[i]->size());
    const std::string name = parts[i]->objectName().toStdString();
    EXPECT_TRUE(inside.contains(a)) << name;
    EXPECT_GE(a.height(), parts[i]->fontMetrics().height()) << name;
    for (std::size_t j = i + 1; j < parts.size(); ++j) {
      const QRect b(parts[j]->mapTo(bar, QPoint(0, 0)), parts[j]->size());
      EXPECT_FALSE(a.intersects(b)) << name << " / " << parts[j]->objectName().toStdString();
    }
  }
  // The processor line is wide enough for its text up to the time.
  auto* ligneX2 = bar->findChild<QLabel*>("LigneX2");
  const QString text = ligneX2->text();
  const int upToTime = static_cast<int>(text.indexOf("ms")) + 2;
  ASSERT_GT(upToTime, 2) << text.toStdString();
  EXPECT_GE(ligneX2->width(), ligneX2->fontMetrics().horizontalAdvance(text.left(upToTime)));
  for (const char* name : {"LabelPC", "LabelX"}) {
    auto* label = bar->findChild<QLabel*>(name);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
  }
}

}  // namespace
}  // namespace hc11::test
