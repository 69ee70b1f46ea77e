// The saved box positions of a program ("<listing>_Coord.txt"): one line per
// box the user placed, "function;label;side;relative;x;y[;extra]". The list
// lives in memory for the whole program load; the sheet rewrites the lines of
// its own boxes and writes the file whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace hc11 {

// Fields 3 to 7 of a position line, all empty when the box has no line.
struct CoordFields {
  std::string side;      // "n": the box's jump leaves from its side
  std::string relative;  // "r": x, y are offsets from the parent box
  std::string x, y;      // signed decimal, both present or both empty
  std::string extra;     // the box's Texte2
};

class TCoord {
 public:
  std::vector<std::string> Lines;
  std::string NomFichier;

  // "prog.lst" (or "prog") -> "prog_Coord.txt" in the same folder.
  static std::string FileNameFor(std::string_view programName);

  // Sets NomFichier; when the file exists its lines replace the list (CR LF
  // or LF endings). Lines whose x or y is not a decimal number (or that have
  // only one of the two) are reported once through `messages` and their
  // position is ignored by ReadCoord. Returns whether a file was read.
  bool Load(std::string_view programName, Messages& messages);
  // Load's reading of the file's content: replaces the list, reports
  // unreadable positions.
  void Parse(std::string_view content, Messages& messages);

  // Index of the first line that begins with "function;label;", -1 when none.
  int FindCoord(std::string_view function, std::string_view label) const;
  CoordFields ReadCoord(std::string_view function, std::string_view label) const;

  // Replaces the line with the same key or appends it. `line` is whole:
  // "function;label;...".
  void Store(std::string_view function, std::string_view label, std::string line);

  // Writes every line, CR LF ended, to NomFichier through a temporary file in
  // the same folder. On failure reports through `messages` and returns false;
  // the list is untouched.
  bool Write(Messages& messages) const;
};

}  // namespace hc11
