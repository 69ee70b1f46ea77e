// The main window as a frame others add to: its docks, tool bars and status
// line, the menus of its menu bar, and the commands it finds by their
// component names. The workbench and the focus keys add their docks, menu
// items and shortcuts through it.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QString>

namespace hc11::gui {

// The menus of the menu bar that others add items to, handed over as the
// window builds them: a caption is what the user reads, never a key.
struct WindowMenus {
  QMenu* run = nullptr;      // "Executer"
  QMenu* view = nullptr;     // "Voir"
  QMenu* options = nullptr;  // "Options"
};

class WindowFrame {
 public:
  virtual ~WindowFrame() = default;

  virtual QMainWindow& Window() = 0;
  virtual const WindowMenus& Menus() const = 0;
  // A menu item or shortcut by its component name ("Executer1", "Step7" ...);
  // null when there is none.
  virtual QAction* Action(const QString& name) const = 0;
  // From now on Action(name) finds `action`, made elsewhere.
  virtual void RegisterAction(const char* name, QAction* action) = 0;
};

}  // namespace hc11::gui
