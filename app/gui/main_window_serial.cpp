// TForm1's serial link: the "Liaison série" and "Temps réel" marks and the
// link's life with the program (see serial::LinkControl).
#include "app/gui/main_window.h"

namespace hc11::gui {

void MainWindow::ApplySerialLink(bool restart) {
  Settings& s = session_.settings();
  if (!restart && session_.options().Checked(serial::kMarkLink) && !run_.Running() &&
      !serial::ParseLinkAddress(s.Reglage("PortCom")).address) {
    // The first time, "PortCom" holds a name that is no port here ("com1"):
    // ask once; the answer is kept in the settings.
    const auto answer =
        messages_.Prompt("Liaison série", "pty, pty:LIEN, tcp:PORT ou un périphérique (/dev/ttyUSB0)", "pty");
    if (answer) {
      s.SetReglage("PortCom", *answer);
      RefreshReglages();
    } else {
      session_.options().Set(serial::kMarkLink, false);
    }
  }
  if (restart) {
    link_.Restart();
  } else {
    link_.Apply();
  }
  if (link_.IsOpen()) {
    linkTimer_->start();
  } else {
    linkTimer_->stop();
  }
}

}  // namespace hc11::gui
