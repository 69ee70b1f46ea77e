// The sheet's objects: placement, dragging, painting hand-off and the text
// dump shown by the window's "Aff Infos" command.
#include <string>

#include "core/text_util.h"
#include "flowchart/sheet.h"

namespace hc11 {

TRectangle* TListRect::Add() {
  if (Count() >= kMaxSheetBoxes) return nullptr;
  items_.push_back(std::make_unique<TRectangle>(Count() + 1));
  return items_.back().get();
}

TLigneV* TListLigne::AddLineV() {
  if (Count() >= kMaxSheetLines) return nullptr;
  auto line = std::make_unique<TLigneV>(Count() + 1);
  TLigneV* raw = line.get();
  items_.push_back(std::move(line));
  return raw;
}

TLigneH* TListLigne::AddStub(char genre) {
  if (Count() >= kMaxSheetLines) return nullptr;
  auto stub = std::make_unique<TLigneH>(Count() + 1);
  stub->Genre = genre == 'b' ? 'b' : 'h';
  stub->Haut = 1;
  TLigneH* raw = stub.get();
  items_.push_back(std::move(stub));
  return raw;
}

void TORect::Deplace(Flowchart& sheet, int x, int y) {
  if (Genre == 'r' && sheet.Boxes.Valid(ObjetParent)) {
    const TRect& parent = sheet.Boxes[ObjetParent].Rect;
    OfsX = x - sheet.GrabX - parent.Left;
    OfsY = y - sheet.GrabY - parent.Top;
  } else {
    Rect.Left = x - sheet.GrabX;
    Rect.Top = y - sheet.GrabY;
    Rect.Right = Rect.Left + Larg;
    Rect.Bottom = Rect.Top + Haut;
  }
  Place(sheet);
}

void TORect::Dump(const Flowchart& sheet, std::vector<std::string>& out) const {
  if (Relie) out.emplace_back("relié");
  const long long area = static_cast<long long>(sheet.BitmapW) * sheet.BitmapH / 1000000;
  out.push_back(Format("W%d H%d= %d", sheet.BitmapW, sheet.BitmapH, static_cast<int>(area)));
  out.push_back(Format("NbPasse %d", sheet.NbPasse));
  out.push_back(Format("ObjetSelf %d %c", ObjetSelf, Genre));
  out.push_back(Format("l=%d r=%d t=%d b=%d", Rect.Left, Rect.Right, Rect.Top, Rect.Bottom));
  out.push_back(Format("Larg %d Haut %d", Larg, Haut));
  if (OfsX != 0 || OfsY != 0) out.push_back(Format("OfsX= %d OfsY= %d", OfsX, OfsY));
  out.push_back(Format("ObjetParent %d", ObjetParent));
  out.push_back(Format("ObjLieEnfant %d", ObjLieEnfant));
  if (ObjetParentb != 0) out.push_back(Format("ObjetParentb %d", ObjetParentb));
}

// --- Boxes ---

void TRectangle::Dessine(Flowchart& sheet, SheetPainter& painter) {
  Place(sheet);
  painter.PaintBox(sheet, *this);
}

void TRectangle::Deplace(Flowchart& sheet, int x, int y) {
  DecalX = DecalY = 0;
  const bool hangsInFlow = Genre != 'r' && sheet.Boxes.Valid(ObjetParent);
  if (!Titre && !hangsInFlow) UserPlaced = true;
  TORect::Deplace(sheet, x, y);
}

void TRectangle::Place(Flowchart& sheet) {
  const bool hasParent = sheet.Boxes.Valid(ObjetParent) && ObjetParent != ObjetSelf;
  if (Titre && hasParent) {
    const TRectangle& p = sheet.Boxes[ObjetParent];
    if (p.IsJumpBox()) {
      Rect.Left = p.CenterX() - Larg / 2;
      Rect.Top = p.Rect.Bottom;
    } else {
      Rect.Left = p.Rect.Right;
      Rect.Top = p.MidY() - Haut / 2;
    }
    Rect.Right = Rect.Left + Larg;
    Rect.Bottom = Rect.Top + Haut;
    return;
  }
  if (!hasParent) {
    if (!Sauve) {
      Rect.Top = sheet.PicH;
      Sauve = true;
    }
    Rect.Right = Rect.Left + Larg;
    Rect.Bottom = Rect.Top + Haut;
    if (Rect.Bottom > sheet.PicH) sheet.PicH = Rect.Bottom;
    return;
  }
  const TRectangle& p = sheet.Boxes[ObjetParent];
  AncienRect = Rect;
  Rect.Left = p.Rect.Left + OfsX + DecalX;
  Rect.Top = p.Rect.Top + OfsY + DecalY;
  if (Rect.Left < 1) Rect.Left = 1;
  Rect.Right = Rect.Left + Larg;
  Rect.Bottom = Rect.Top + Haut;
  if (Rect.Left != AncienRect.Left || Rect.Top != AncienRect.Top || Rect.Right != AncienRect.Right ||
      Rect.Bottom != AncienRect.Bottom)
    sheet.Changed = true;
}

void TRectangle::Dump(const Flowchart& sheet, std::vector<std::string>& out) const {
  TORect::Dump(sheet, out);
  if (!Label.empty() || LargLabel != 0) out.push_back(Format("Label= \"%s\" %d", Label.c_str(), LargLabel));
  for (const TLigne& line : Lignes) {
    if (line.AddrText.empty() && line.AddrEndText.empty() && line.Text.empty()) continue;
    out.push_back(
        Format("$%s $%s  \"%s\"", line.AddrText.c_str(), line.AddrEndText.c_str(), line.Text.c_str()));
  }
  if (!Saut.empty() || Triangle != 0)
    out.push_back(Format("Saut= \"%s\" Triangle=%d ", Saut.c_str(), Triangle));
  if (ObjetSaut != 0) out.push_back(Format("ObjetSaut=%d ", ObjetSaut));
  if (ObjetLineV != 0) out.push_back(Format("ObjetLineV=%d ", ObjetLineV));
  if (PointB != 0) out.push_back(Format("PointB %d", PointB));
  if (PointD != 0) out.push_back(Format("PointD %d", PointD));
  if (!Texte2.empty()) out.push_back(Texte2);
  if (!AddrText.empty()) out.push_back(AddrText);
}

// --- Jump lines ---

void TLigneV::Dessine(Flowchart& sheet, SheetPainter& painter) {
  Place(sheet);
  painter.PaintLineV(sheet, *this);
}

void TLigneV::Place(Flowchart& sheet) {
  if (!sheet.Boxes.Valid(ObjetParent) || !sheet.Boxes.Valid(ObjetParentb)) return;
  const TRectangle& s = sheet.Boxes[ObjetParent];
  const TRectangle& t = sheet.Boxes[ObjetParentb];
  VersGauche = t.CenterX() < s.CenterX();
  if (Piste) {
    Rect.Top = s.Rect.Top + SortieDY;
    Rect.Bottom = Detour ? s.Rect.Top + CanalDY : t.Rect.Top + EntreeDY;
  } else {
    Rect.Top = s.MidY() + (s.Triangle == 0 ? 5 : 0);
    Rect.Bottom = t.Rect.Top;
  }
  Rect.Left = s.Rect.Left + OfsX;
  Rect.Right = Rect.Left + Larg;
  Haut = Rect.Bottom - Rect.Top;
}

void TLigneV::Dump(const Flowchart&, std::vector<std::string>&) const {}

void TLigneH::Dessine(Flowchart& sheet, SheetPainter& painter) {
  Place(sheet);
  painter.PaintStub(sheet, *this);
}

void TLigneH::Place(Flowchart& sheet) {
  const TLigneV* v = sheet.Lines.LineV(ObjetParent);
  if (v == nullptr || !sheet.Boxes.Valid(v->ObjetParent) || !sheet.Boxes.Valid(v->ObjetParentb)) return;
  if (v->Piste) {
    // From the side of the box to the track; the landing stub's Left is
    // the arrow's tip.
    const TRectangle& s = sheet.Boxes[v->ObjetParent];
    const TRectangle& box = Genre == 'b' ? sheet.Boxes[v->ObjetParentb] : s;
    const bool left = Genre == 'b' ? v->EntreeGauche : v->SortieGauche;
    Rect.Top = Genre == 'b' ? box.Rect.Top + v->EntreeDY : v->Rect.Top;
    Rect.Left = left ? box.Rect.Left - 1 : box.Rect.Right;
    Rect.Right = Genre == 'b' && v->Detour ? s.Rect.Left + v->DetourDX + 1 : v->Rect.Right;
    Rect.Bottom = Rect.Top + Haut;
    Larg = Rect.Right - Rect.Left;
    return;
  } else if (Genre == 'b') {
    Rect.Top = v->Rect.Bottom;
    Rect.Left = sheet.Boxes[v->ObjetParentb].CenterX();
  } else {
    const TRectangle& s = sheet.Boxes[v->ObjetParent];
    Rect.Top = v->Rect.Top;
    if (s.IsJumpBox())
      Rect.Left = s.CenterX();
    else
      Rect.Left = v->VersGauche ? s.Rect.Left - 1 : s.Rect.Right - 1;
  }
  Rect.Bottom = Rect.Top + Haut;
  Rect.Right = v->Rect.Right;
  Larg = Rect.Right - Rect.Left;
}

}  // namespace hc11
