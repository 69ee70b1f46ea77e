// Text descriptions of a sheet: the window's per-object dump and the stable
// one-line-per-object listing of the command-line "--boxes" output.
#include <string>

#include "core/text_util.h"
#include "flowchart/sheet.h"

namespace hc11 {

std::vector<std::string> Flowchart::DumpObject(const TORect& object) const {
  std::vector<std::string> out;
  object.Dump(*this, out);
  return out;
}

std::vector<std::string> Flowchart::DescribeSheet() const {
  std::vector<std::string> out;
  out.push_back(Format("sheet \"%s\" boxes=%d lines=%d premier=%d width=%d height=%d nbpasse=%d",
                       Boxes.FonctName.c_str(), Boxes.Count(), Lines.Count(), Boxes.Premier, PicW, PicH,
                       NbPasse));
  for (int i = 1; i <= Boxes.Count(); ++i) {
    const TRectangle& b = Boxes[i];
    out.push_back(
        Format("box %d genre='%c' rect=%d,%d,%d,%d larg=%d haut=%d parent=%d saut=%d linev=%d label=\"%s\" "
               "triangle=%d pointb=%d pointd=%d",
               i, b.Genre, b.Rect.Left, b.Rect.Top, b.Rect.Right, b.Rect.Bottom, b.Larg, b.Haut,
               b.ObjetParent, b.ObjetSaut, b.ObjetLineV, b.Label.c_str(), b.Triangle, b.PointB, b.PointD));
    if (b.Titre) out.push_back(Format("  title \"%s\"", b.Texte2.c_str()));
    for (const TLigne& l : b.Lignes)
      out.push_back(Format("  text index=%d addr=%s end=%s text=\"%s\" comment=\"%s\"", l.Index,
                           l.AddrText.c_str(), l.AddrEndText.c_str(), l.Text.c_str(), l.Commentaire.c_str()));
  }
  for (int i = 1; i <= Lines.Count(); ++i) {
    const TORect& o = Lines[i];
    out.push_back(
        Format("line %d genre='%c' rect=%d,%d,%d,%d larg=%d haut=%d parent=%d parentb=%d ofsx=%d ofsy=%d", i,
               o.Genre, o.Rect.Left, o.Rect.Top, o.Rect.Right, o.Rect.Bottom, o.Larg, o.Haut, o.ObjetParent,
               o.ObjetParentb, o.OfsX, o.OfsY));
  }
  return out;
}

}  // namespace hc11
