// Saving the positions of the current sheet's boxes into the position list
// and its file.
#include <string>

#include "core/message_text.h"
#include "core/text_util.h"
#include "flowchart/sheet.h"

namespace hc11 {

bool Flowchart::LoadCoordFile(std::string_view programName) {
  return coords_.Load(programName, messages_);
}

bool Flowchart::SaveCoordFile() {
  if (!CoordsModified) return true;
  SheetOverflow = false;
  for (int i = 1; i <= Boxes.Count(); ++i) {
    const TRectangle& b = Boxes[i];
    if (!b.HasAddress()) continue;
    // A box that hangs in the flow keeps nothing of its own, unless its jump
    // leaves from the side (this also skips title boxes).
    if (b.PointD < 1 && b.Genre != 'r' && b.ObjetParent != 0) continue;
    if (b.Label.empty())
      messages_.Show(MsgKind::Error, "Erreur", Format("err Manque label $%s", QuoteText(b.AddrText).c_str()));
    std::string line = b.Label;
    line += b.PointD >= 1 ? ";n" : ";";
    if (b.Genre == 'r')
      line += Format(";%s;%d;%d", "r", b.OfsX + b.DecalX, b.OfsY + b.DecalY);  // where it is shown
    else if (b.ObjetParent == 0)
      line += Format(";;%d;%d", b.Rect.Left, b.Rect.Top);
    else
      line += ";;;";
    if (!b.Texte2.empty()) line += ";" + b.Texte2;
    if (line == ";;r;0;0") continue;
    coords_.Store(Boxes.FonctName, b.Label, Boxes.FonctName + ";" + line);
  }
  CoordsModified = false;
  return coords_.Write(messages_);
}

}  // namespace hc11
