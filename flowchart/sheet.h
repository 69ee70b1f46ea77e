// One function's flowchart sheet: its boxes and jump lines, how they are built
// from the rewritten line list, laid out, routed, and saved. Everything lives
// in a Flowchart object; objects refer to each other by 1-based index into the
// sheet arrays, 0 meaning none. Coordinates are pixels, origin top-left, y
// growing downwards. This model links no GUI library: painting goes through
// the SheetPainter interface, text measurement through TextMetrics.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/messages.h"
#include "flowchart/coord_file.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_types.h"

namespace hc11 {

class Flowchart;
class TRectangle;
class TLigneV;
class TLigneH;

inline constexpr int kMaxSheetBoxes = 1000;
inline constexpr int kMaxSheetLines = 1000;

// 24-bit colours, blue-green-red.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kGreen = 0x008000;
inline constexpr Colour kTeal = 0x808000;
inline constexpr Colour kNavy = 0x800000;

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TRect&) const = default;
  // True when the two rectangles share at least one pixel (Right and Bottom
  // are exclusive).
  bool Intersects(const TRect& o) const {
    return Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom;
  }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
};

// Paints the sheet's objects; implemented by the painting layer. Each
// object's Dessine first places itself (Place) and then calls the method for
// its kind, so the painter only reads public fields.
class SheetPainter {
 public:
  virtual ~SheetPainter() = default;
  virtual void PaintBox(Flowchart& sheet, TRectangle& box) = 0;  // plain, decision, comment or title box
  virtual void PaintLineV(Flowchart& sheet, TLigneV& line) = 0;  // vertical jump line
  virtual void PaintStub(Flowchart& sheet, TLigneH& stub) = 0;   // "h" or "b" stub
};

// Base of every sheet object.
class TORect {
 public:
  explicit TORect(int index) : ObjetSelf(index) {}
  virtual ~TORect() = default;

  // '.' line object, ' ' box in the flow, 'r' box placed by OfsX/OfsY from its
  // parent, 'h' start stub, 'b' end stub of a jump line.
  char Genre = '.';
  TRect AncienRect;            // position before the current placement
  bool EnDeplacement = false;  // being dragged
  bool Relie = false;          // reached from the sheet's first box
  TRect Rect;
  int OfsX = 0, OfsY = 0;  // offset from the parent's Left/Top; vertical line: OfsY -1 = to route
  int Larg = 0, Haut = 0;
  int ObjetSelf = 0;     // own index
  int ObjLieEnfant = 0;  // box that follows in the flow
  int ObjetParent = 0;   // box this hangs from; lines: source box (vertical) or vertical line (stubs)
  int ObjetParentb = 0;  // vertical line: target box; box: the box whose jump reached it
  Colour Couleur = kBlack;

  virtual void Dessine(Flowchart& sheet, SheetPainter& painter) = 0;
  // Moves the object to pointer (x, y), using the sheet's grab offset.
  virtual void Deplace(Flowchart& sheet, int x, int y);
  // Computes Rect from the parent (or the line's boxes).
  virtual void Place(Flowchart& sheet) = 0;
  // Appends the object's description, one text line per entry.
  virtual void Dump(const Flowchart& sheet, std::vector<std::string>& out) const;
};

// One text line of a box.
struct TLigne {
  std::string Text;  // the statement
  int Index = -1;    // line-list index it was made from
  std::string Commentaire;
  std::string AddrText, AddrEndText;
  bool EstCall = false;  // the statement begins with "call "
};

// A box.
class TRectangle final : public TORect {
 public:
  explicit TRectangle(int index) : TORect(index) {}

  int ObjetLineV = 0;                 // vertical line of this box's jump
  int ObjetSaut = 0;                  // the jump's target box
  int LargLabel = 0;                  // width reserved for the label at the left, 0 when not shown
  int Triangle = 0;                   // width of each pointed end of a decision box
  int PointB = 0;                     // exit mark height at the bottom (4 or 0)
  int PointD = 0;                     // exit mark width at the side (4 or 0)
  int XComment = 0, XCommentFin = 0;  // comment column
  std::string AddrText, AddrEndText;  // first line's addresses
  std::string Label, LabelAff, Saut, Texte2;
  std::vector<TLigne> Lignes;
  bool Sauve = false;  // has a position of its own
  bool Titre = false;  // title box naming a label
  // The position is the user's (read from the position file or dragged):
  // the de-overlap pass moves other boxes around it, never this one.
  bool UserPlaced = false;
  // Offset the de-overlap pass adds to OfsX/OfsY; 0 in the literal layout.
  int DecalX = 0, DecalY = 0;

  int CenterX() const { return Rect.Left + LargLabel + (Larg - LargLabel) / 2; }
  int MidY() const { return Rect.Top + (Haut - PointB) / 2; }
  bool HasAddress() const { return !AddrText.empty(); }
  // Not a title, has a jump, and its first line is empty (an unconditional jump).
  bool IsJumpBox() const { return !Titre && !Saut.empty() && !Lignes.empty() && Lignes.front().Text.empty(); }

  void Dessine(Flowchart& sheet, SheetPainter& painter) override;
  // A box the user moves keeps that position: the de-overlap pass leaves it.
  void Deplace(Flowchart& sheet, int x, int y) override;
  void Place(Flowchart& sheet) override;
  void Dump(const Flowchart& sheet, std::vector<std::string>& out) const override;
};

// A vertical jump line: ObjetParent is the source box, ObjetParentb the target.
class TLigneV final : public TORect {
 public:
  explicit TLigneV(int index) : TORect(index) {}
  bool VersGauche = false;  // the target's centre is left of the source's
  // Laid on a track by the clear layout: the line runs at OfsX from the
  // source's side, SortieDY below the source's Top, to the target's side,
  // EntreeDY below the target's Top; the stubs leave and land on the sides
  // given (the landing stub ends in the arrowhead).
  bool Piste = false;
  bool SortieGauche = false, EntreeGauche = false;
  int SortieDY = 0, EntreeDY = 0;
  // A track that cannot run level with the jump detours: down (or up) to a
  // free row CanalDY below the source's Top, across it to a second track
  // DetourDX from the source's Left, then on to the target's side.
  bool Detour = false;
  int CanalDY = 0, DetourDX = 0;

  void Dessine(Flowchart& sheet, SheetPainter& painter) override;
  void Place(Flowchart& sheet) override;
  void Dump(const Flowchart& sheet, std::vector<std::string>& out) const override;
};

// A horizontal stub of a jump line: Genre 'h' leaves the source, 'b' arrives
// on the target; ObjetParent is the vertical line.
class TLigneH final : public TORect {
 public:
  explicit TLigneH(int index) : TORect(index) {}

  void Dessine(Flowchart& sheet, SheetPainter& painter) override;
  void Place(Flowchart& sheet) override;
};

// The sheet's boxes, indexed 1..Count().
class TListRect {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TRectangle& operator[](int i) { return *items_[static_cast<std::size_t>(i - 1)]; }
  const TRectangle& operator[](int i) const { return *items_[static_cast<std::size_t>(i - 1)]; }
  bool Valid(int i) const { return i >= 1 && i <= Count(); }
  void Clear() { items_.clear(); }
  // Appends a box with the next index; nullptr when the sheet is full.
  TRectangle* Add();

  std::string FonctName;  // the function being drawn
  int Premier = 0;        // first box of the main path
  int ModeTable = 0;      // always 0 in this system
  std::string TableBase;  // table label of an indexed call

 private:
  std::vector<std::unique_ptr<TRectangle>> items_;
};

// The sheet's line objects (vertical lines and stubs), indexed 1..Count().
class TListLigne {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TORect& operator[](int i) { return *items_[static_cast<std::size_t>(i - 1)]; }
  const TORect& operator[](int i) const { return *items_[static_cast<std::size_t>(i - 1)]; }
  bool Valid(int i) const { return i >= 1 && i <= Count(); }
  // The vertical line at i, nullptr when i is no vertical line (stubs are
  // always 'h' or 'b').
  TLigneV* LineV(int i) {
    return Valid(i) && (*this)[i].Genre == '.' ? static_cast<TLigneV*>(&(*this)[i]) : nullptr;
  }
  const TLigneV* LineV(int i) const {
    return Valid(i) && (*this)[i].Genre == '.' ? static_cast<const TLigneV*>(&(*this)[i]) : nullptr;
  }
  void Clear() { items_.clear(); }
  TLigneV* AddLineV();           // nullptr when full
  TLigneH* AddStub(char genre);  // nullptr when full

 private:
  std::vector<std::unique_ptr<TORect>> items_;
};

// Saved-position fields handed to the box constructor.
using SavedPosition = CoordFields;

// One sheet and everything that builds it. Holds references to the loaded
// listing (line list, listing map, function list, label list), the message
// interface and the text metrics; they must outlive the sheet.
class Flowchart {
 public:
  Flowchart(Listing& listing, Messages& messages, const TextMetrics& metrics);
  Flowchart(const Flowchart&) = delete;
  Flowchart& operator=(const Flowchart&) = delete;

  void SetMetrics(const TextMetrics& metrics) { metrics_ = &metrics; }
  const TextMetrics& Metrics() const { return *metrics_; }
  Listing& GetListing() { return listing_; }
  Messages& GetMessages() { return messages_; }

  // --- Functions and labels ---
  // Clears LabelList and the missing-address message count, then builds every
  // function of FunctionList once, in list order.
  void BuildLabelIndex();
  // Builds the boxes of one function's sheet (no layout).
  void BuildChains(std::string_view functionName);
  int BoxOfLabel(std::string_view label) const;       // first box with that label, 0 when none
  int BoxOfAddress(std::string_view addrText) const;  // first box with that first address
  int BoxOfLine(int lineIndex) const;                 // box holding a line made from that line-list index

  // --- Layout ---
  // Saves the previous sheet's positions when a drag changed them, builds
  // `functionName`'s sheet, resolves jumps and lays everything out. False
  // when the sheet has no box.
  bool BuildFlowchart(std::string_view functionName);
  // The box constructor; returns the new index, 0 when the sheet is full.
  int AddBox(int lineIndex, bool title, std::string_view comment, const SavedPosition& saved,
             std::string_view jumpLabel, std::string_view text, std::string_view label,
             std::string_view addrText, std::string_view addrEndText);
  // Appends a text line to box `box`.
  void AddLine(int box, std::string_view text, std::string_view addrText, std::string_view comment,
               std::string_view addrEndText, int lineIndex);
  void LayoutPasses();
  // LayoutPasses, the de-overlap pass when NoOverlapLayout is set, then
  // RouteLines and CommentColumns: what a build and a repaint with relayout
  // run.
  void Relayout();
  bool IsLinked(int j, int target);
  void Propagate();
  bool AttachToLine(int box);
  void SetGenre(int box, char genre);

  // --- Routing and comment columns ---
  void RouteLines();
  void CommentColumns();
  // The clear layout's routing: keeps the literal layout's routes when they already
  // read well, otherwise lays every jump on a track of its own (see
  // sheet_tracks.h).
  void RouteClear();

  // --- Saved positions ---
  // Reads "<program>_Coord.txt" (program: the listing path, with or without
  // extension). Returns whether a file was read.
  bool LoadCoordFile(std::string_view programName);
  // When CoordsModified: stores the current sheet's positions and writes the
  // file. Returns false only when writing failed.
  bool SaveCoordFile();
  TCoord& Coords() { return coords_; }

  // --- Text output ---
  // Dump of the box or line object under the pointer, as the window shows it.
  std::vector<std::string> DumpObject(const TORect& object) const;
  // Every box then every line object, one stable line each (see flowchart
  // CLI documentation), for the command-line "--boxes" output.
  std::vector<std::string> DescribeSheet() const;

  // --- The sheet ---
  TListRect Boxes;
  TListLigne Lines;
  int LineH = 0;         // text height of "X_"
  int PicW = 101;        // sheet width
  int PicH = 21;         // sheet height, next free y while building
  int NbPasse = 0;       // placement passes of the last layout
  bool Changed = false;  // a placement moved something
  bool RouteMode = false;
  int HighlightBox = 0;
  bool CoordsModified = false;   // a box was dragged since the last save
  bool SheetOverflow = false;    // something was painted beyond the bitmap
  bool ShowLocalLabels = false;  // labels beginning with "@" are shown
  // Hung subtrees that overlap other boxes are moved apart (see
  // ClearOverlaps); off, the sheet keeps the literal layout.
  bool NoOverlapLayout = true;
  int GrabX = 0, GrabY = 0;      // pointer offset inside the dragged box
  int BitmapW = 0, BitmapH = 0;  // bitmap size, for Dump

 private:
  void BuildChain(std::string_view name);
  void ResolveJumps();
  void LinkBoxes();
  void ReportFull();

  Listing& listing_;
  Messages& messages_;
  const TextMetrics* metrics_;
  TCoord coords_;

  std::vector<std::string> pending_;  // sorted, no duplicates
  int prevRect_ = 0;
  int missingAddrCount_ = 0;  // "err Manque L$" messages since the last label index
  bool fullReported_ = false;
  bool indexing_ = false;          // inside BuildLabelIndex: no sheet is shown
  std::vector<int> boxOfLine_;     // line-list index -> box, 0 when none
  std::vector<int> boxOfLineSet_;  // indices set since the last reset
  // Label -> first line-list index, kept while one index or one sheet is
  // built (the line list does not change meanwhile).
  std::unordered_map<std::string_view, int> labelLines_;
  bool labelLinesReady_ = false;

  void ResetBoxOfLine();
  void SetBoxOfLine(int lineIndex, int box);
  void IndexLabelLines();
  int LineOfLabel(std::string_view name) const;
};

}  // namespace hc11
