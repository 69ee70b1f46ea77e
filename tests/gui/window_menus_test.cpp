// The items the workbench and the focus keys add to the window's menus: each
// stands once, in its menu, under its caption, and choosing it in the menu
// does what it says.
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/workbench.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

using WindowMenusTest = GuiTest;

// The menu of the bar whose caption reads `caption`, as the user sees it.
QMenu* MenuOf(gui::MainWindow& w, const QString& caption) {
  for (QAction* a : w.menuBar()->actions())
    if (QString(a->text()).remove('&') == caption) return a->menu();
  return nullptr;
}

TEST_F(WindowMenusTest, AddedItemsStandOnceInTheirMenus) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  struct Item {
    const char* menu;
    const char* name;
    const char* caption;
  };
  const Item items[] = {
      {"Voir", "VoirSource", "Source"},   {"Voir", "VoirRegistres", "Registres"},
      {"Voir", "ZoomIn", "Zoom avant"},   {"Voir", "ZoomOut", "Zoom arrière"},
      {"Voir", "ZoomReset", "Zoom 100%"}, {"Executer", "BasculerPointArret", "Basculer point d'arrêt"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    QAction* action = w.Action(item.name);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8(item.caption));
    int seen = 0;
    for (QAction* bar : w.menuBar()->actions())
      if (bar->menu() != nullptr) seen += static_cast<int>(bar->menu()->actions().count(action));
    EXPECT_EQ(seen, 1);
    QMenu* menu = MenuOf(w, QString::fromUtf8(item.menu));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(action));
  }
  // The window's own items come first; the added ones close the menu.
  const QList<QAction*> voir = MenuOf(w, "Voir")->actions();
  EXPECT_EQ(voir.back(), w.Action("ZoomReset"));
  EXPECT_LT(voir.indexOf(w.Action("ListeFonctions1")), voir.indexOf(w.Action("VoirSource")));
  EXPECT_EQ(MenuOf(w, "Executer")->actions().back(), w.Action("BasculerPointArret"));
  EXPECT_TRUE(MenuOf(w, "Options")->toolTipsVisible());
}

TEST_F(WindowMenusTest, AddedItemsWorkFromTheirMenus) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  auto* view = w.findChild<gui::FlowView*>("PaintBox1");
  ASSERT_NE(view, nullptr);
  auto choose = [&](const char* name) {
    for (QAction* a : MenuOf(w, "Voir")->actions())
      if (a->objectName() == name) return a->trigger();
    ADD_FAILURE() << name << " is not in Voir";
  };
  // Zoom, with the pointer away from the flowchart: the view's scale and the
  // status line follow each item.
  const struct {
    const char* name;
    int percent;
  } zooms[] = {{"ZoomIn", 110}, {"ZoomIn", 125}, {"ZoomOut", 110}, {"ZoomReset", 100}};
  for (const auto& z : zooms) {
    SCOPED_TRACE(z.percent);
    choose(z.name);
    EXPECT_EQ(view->zoom().Percent(), z.percent);
    EXPECT_EQ(w.statusBar()->currentMessage().toStdString(), "Zoom: " + std::to_string(z.percent) + "%");
  }
  // The docks hide and show again.
  for (const char* name : {"VoirSource", "VoirRegistres"}) {
    SCOPED_TRACE(name);
    QDockWidget& dock =
        std::string(name) == "VoirSource" ? w.workbench().sourceDock() : w.workbench().registersDock();
    ASSERT_TRUE(dock.isVisible());
    choose(name);
    EXPECT_FALSE(dock.isVisible());
    choose(name);
    EXPECT_TRUE(dock.isVisible());
  }
}

}  // namespace
}  // namespace hc11::test
