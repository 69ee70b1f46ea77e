// Layout of a built sheet: each jump is resolved to its target box and drawn
// as a vertical line with two stubs, every box is hung from a parent box
// (directly below it, or at an offset), and placement passes run until the
// positions settle.
#include <algorithm>
#include <string>

#include "core/message_text.h"
#include "core/text_util.h"
#include "flowchart/sheet.h"
#include "flowchart/sheet_deoverlap.h"

namespace hc11 {

bool Flowchart::BuildFlowchart(std::string_view functionName) {
  SaveCoordFile();
  BuildChains(functionName);
  if (Boxes.Count() == 0) return false;

  ResolveJumps();
  if (Boxes.Valid(Boxes.Premier)) Boxes[Boxes.Premier].Relie = true;
  HighlightBox = Boxes.Premier;
  Propagate();
  LinkBoxes();

  for (int j = Boxes.Premier + 1; j <= Boxes.Count(); ++j) {
    const TRectangle& b = Boxes[j];
    if (!b.Relie && b.HasAddress())
      messages_.Show(MsgKind::Error, "Erreur", Format("non relié %d %s", j, QuoteText(b.AddrText).c_str()));
  }
  // Comment boxes hang on the box below them (the last one on the first box).
  for (int j = 2; j <= Boxes.Count(); ++j) {
    TRectangle& b = Boxes[j];
    if (b.HasAddress()) continue;
    b.Genre = 'r';
    b.ObjetParent = j < Boxes.Count() ? j + 1 : Boxes.Premier;
  }
  for (int j = 1; j <= Boxes.Count(); ++j) {
    TRectangle& b = Boxes[j];
    if (b.Genre != ' ' || !Boxes.Valid(b.ObjetParent)) continue;
    const TRectangle& p = Boxes[b.ObjetParent];
    b.OfsX = (p.Larg + p.LargLabel) / 2 - (b.Larg + b.LargLabel) / 2;
    b.OfsY = p.Haut;
  }
  Relayout();
  return true;
}

void Flowchart::Relayout() {
  // The pass's offsets are recomputed from the literal positions each time,
  // so that moving one box lets the others settle back.
  for (int i = 1; i <= Boxes.Count(); ++i) {
    TRectangle& b = Boxes[i];
    if (!Boxes.Valid(b.ObjetParent) || b.ObjetParent == i) {
      b.Rect.Left -= b.DecalX;
      b.Rect.Top -= b.DecalY;
    }
    b.DecalX = b.DecalY = 0;
  }
  LayoutPasses();
  if (NoOverlapLayout) ClearOverlaps(*this);
  RouteMode = true;
  if (NoOverlapLayout) {
    RouteClear();
  } else {
    RouteLines();
    CommentColumns();
  }
  RouteMode = false;
}

void Flowchart::ResolveJumps() {
  Lines.Clear();
  // Title boxes are appended while walking; they carry no jump themselves.
  for (int i = 1; i <= Boxes.Count(); ++i) {
    TRectangle& b = Boxes[i];
    if (b.Saut.empty()) continue;
    b.ObjetSaut = 0;
    int t = 0;
    bool relative = false;
    if (b.Saut.front() == '$') {
      std::string offset;
      for (char ch : b.Saut.substr(1))
        if (ch != ' ') offset.push_back(ch);
      const auto delta = StrToIntSigned(offset);
      const auto own = StrToWord("$" + b.AddrText);
      // An offset beyond the address space is no relative jump: it is
      // reported as a missing label below.
      if (delta && own && *delta >= -0xFFFF && *delta <= 0xFFFF) {
        relative = true;
        const unsigned addr = static_cast<unsigned>(*own + *delta + 1) & 0xFFFFu;
        t = BoxOfAddress(Format("%4.4X", addr));
      }
    }
    if (!relative) t = BoxOfLabel(b.Saut);
    if (t == 0) {
      if (ToLower(b.Saut) != "debprogr")
        messages_.Show(MsgKind::Error, "Erreur",
                       Format("manque label \"%s\"    i=%d  $%s ", QuoteText(b.Saut).c_str(), i,
                              QuoteText(b.AddrText).c_str()));
      continue;
    }
    if (Boxes[t].Texte2 == "r") {
      const int title = AddBox(-1, true, "", {}, "", b.Saut, "", b.AddrText, "");
      if (title == 0) continue;
      Boxes[title].ObjetParent = i;
      Boxes[title].Place(*this);
      continue;
    }
    if (Lines.Count() + 3 > kMaxSheetLines) {
      ReportFull();
      continue;
    }
    TLigneV& v = *Lines.AddLineV();
    v.Genre = '.';
    v.Larg = 1;
    v.ObjetParent = i;
    v.ObjetParentb = t;
    b.ObjetSaut = t;
    b.ObjetLineV = v.ObjetSelf;
    Lines.AddStub('h')->ObjetParent = v.ObjetSelf;
    Lines.AddStub('b')->ObjetParent = v.ObjetSelf;
    if (b.PointD != 0) {
      // The jump leaves from the side: its target hangs to the right of the
      // decision and the line leads to the next box instead.
      Boxes[t].ObjetParent = i;
      const int next = b.ObjLieEnfant;
      if (Boxes.Valid(next)) {
        Boxes[next].ObjetParent = 0;
        v.ObjetParentb = next;
        SetGenre(next, 'r');
      }
    }
  }
}

void Flowchart::LinkBoxes() {
  bool any = true;
  while (any) {
    any = false;
    // Targets that already hang somewhere are moved beside the box that jumps.
    for (bool again = true; again;) {
      again = false;
      for (int i = 1; i <= Boxes.Count(); ++i) {
        const TRectangle& b = Boxes[i];
        if (!b.Relie || !Boxes.Valid(b.ObjetSaut)) continue;
        TRectangle& t = Boxes[b.ObjetSaut];
        if (t.Relie || t.ObjetParent == 0) continue;
        t.ObjetParentb = i;
        t.Rect.Left = b.Rect.Right + 100;
        t.Rect.Top = b.Rect.Bottom + 20;
        t.Relie = true;
        Propagate();
        again = any = true;
      }
    }
    // Free targets hang beside (or below a jump box) the box that jumps.
    for (int i = 1; i <= Boxes.Count(); ++i) {
      const TRectangle& b = Boxes[i];
      if (!b.Relie || !Boxes.Valid(b.ObjetSaut)) continue;
      const int ti = b.ObjetSaut;
      TRectangle& t = Boxes[ti];
      if (t.Relie || t.ObjetParent != 0 || t.Genre != ' ' || IsLinked(b.ObjetParent, ti)) continue;
      t.ObjetParent = i;
      t.Relie = true;
      t.Genre = 'r';
      if (!t.Sauve) {
        t.Sauve = true;
        if (!b.IsJumpBox()) {
          t.OfsX = b.Larg + 50;
          t.OfsY = 50;
        } else {
          t.OfsX = (b.Larg + b.LargLabel) / 2 - (t.Larg + t.LargLabel) / 2;
          t.OfsY = b.Haut + 10;
        }
      }
      Propagate();
      any = true;
    }
    // Boxes still free hang beside a jump line that reaches their path.
    for (bool again = true; again;) {
      again = false;
      for (int j = Boxes.Premier + 1; j <= Boxes.Count(); ++j) {
        const TRectangle& b = Boxes[j];
        if (b.ObjetParent != 0 || b.Genre == 'r') continue;
        if (AttachToLine(j)) {
          Propagate();
          again = any = true;
        }
      }
    }
  }
}

bool Flowchart::IsLinked(int j, int target) {
  // Walks j's chain of parents; the step bound ends the walk on a cycle.
  for (int steps = 0; steps <= kMaxSheetBoxes; ++steps) {
    if (!Boxes.Valid(j)) return false;
    const TRectangle& b = Boxes[j];
    if (b.Relie && target == Boxes.Premier) return true;
    if (j == target || b.ObjetParent == target) return true;
    if (b.ObjetParent == 0) return false;
    j = b.ObjetParent;
  }
  return false;
}

void Flowchart::Propagate() {
  for (bool again = true; again;) {
    again = false;
    for (int j = Boxes.Premier + 1; j <= Boxes.Count(); ++j) {
      TRectangle& b = Boxes[j];
      if (!b.Relie && IsLinked(j, Boxes.Premier)) {
        b.Relie = true;
        again = true;
      }
    }
  }
}

bool Flowchart::AttachToLine(int box) {
  if (!Boxes.Valid(box)) return false;
  for (int k = box; Boxes.Valid(k); k = Boxes[k].ObjLieEnfant) {
    const int p = Boxes[k].ObjetParentb;
    if (!IsLinked(p, Boxes.Premier) || IsLinked(p, box)) continue;
    TRectangle& b = Boxes[box];
    b.ObjetParent = p;
    if (!b.Sauve) {
      b.Sauve = true;
      b.OfsX = Boxes[p].Larg + 20;
      b.OfsY = 20;
    }
    b.Genre = 'r';
    b.Relie = true;
    return true;
  }
  return false;
}

void Flowchart::SetGenre(int box, char genre) {
  if (!Boxes.Valid(box)) return;
  TRectangle& b = Boxes[box];
  if (genre == 'r') {
    // The first jump line arriving on the box, whose source does not itself
    // hang below the box, gives the box its parent.
    for (int l = 1; l <= Lines.Count(); ++l) {
      const TLigneV* v = Lines.LineV(l);
      if (v == nullptr || v->ObjetParentb != box || !Boxes.Valid(v->ObjetParent)) continue;
      if (v->ObjetParent == box || IsLinked(v->ObjetParent, box)) continue;
      b.Genre = 'r';
      b.ObjetParent = v->ObjetParent;
      if (b.Sauve) {
        const TRectangle& p = Boxes[b.ObjetParent];
        b.OfsX = b.Rect.Left - p.Rect.Left;
        b.OfsY = b.Rect.Top - p.Rect.Top;
      }
      return;
    }
    genre = ' ';
  }
  b.Genre = genre;
  if (genre == ' ' && Boxes.Valid(b.ObjetParent)) {
    const TRectangle& p = Boxes[b.ObjetParent];
    b.OfsX = (p.Larg + p.LargLabel) / 2 - (b.Larg + b.LargLabel) / 2;
    b.OfsY = p.Haut;
  }
}

void Flowchart::LayoutPasses() {
  PicH = 21;
  PicW = 101;
  NbPasse = 0;
  do {
    Changed = false;
    ++NbPasse;
    for (int i = 1; i <= Boxes.Count(); ++i) {
      TRectangle& b = Boxes[i];
      b.Place(*this);
      PicH = std::max(PicH, b.Rect.Bottom + 25);
      PicW = std::max(PicW, b.Rect.Right + 25);
    }
  } while (Changed && NbPasse < 7);
  if (NbPasse >= 7) messages_.Show(MsgKind::Error, "Erreur", "NbPasse>6");
}

}  // namespace hc11
