#include "flowchart/coord_file.h"

#include <filesystem>

#include "core/file_write.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "listing/listing_files.h"

namespace hc11 {

namespace {

// Far beyond any sheet, yet small enough that a box's position plus its size
// and the layout's offsets never leave the range of an int.
constexpr long long kMaxPosition = 1'000'000;

// A signed decimal within the sheet's range, as the writer produces it ("%d").
bool IsDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty() || text.size() > 10) return false;
  long long value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + (ch - '0');
  }
  return value <= kMaxPosition;
}

CoordFields Split(std::string line) {
  NextToken(line, ";");
  NextToken(line, ";");
  CoordFields f;
  f.side = NextToken(line, ";");
  f.relative = NextToken(line, ";");
  f.x = NextToken(line, ";");
  f.y = NextToken(line, ";");
  f.extra = NextToken(line, ";");
  return f;
}

// Both numbers or neither; anything else leaves the box as if unsaved.
bool PositionReadable(const CoordFields& f) {
  if (f.x.empty() && f.y.empty()) return true;
  return IsDecimal(f.x) && IsDecimal(f.y);
}

}  // namespace

std::string TCoord::FileNameFor(std::string_view programName) {
  return ListingBaseOf(programName) + "_Coord.txt";
}

bool TCoord::Load(std::string_view programName, Messages& messages) {
  NomFichier = FileNameFor(programName);
  std::string reason;
  const auto content = ReadWholeFile(NomFichier, &reason);
  if (!content) {
    // A missing file is the usual first start; anything else is said.
    std::error_code ec;
    if (std::filesystem::exists(NomFichier, ec))
      messages.Show(MsgKind::Error, "Erreur",
                    Format("Impossible de lire %s : %s", QuoteText(NomFichier).c_str(), reason.c_str()));
    return false;
  }
  Parse(*content, messages);
  return true;
}

void TCoord::Parse(std::string_view content, Messages& messages) {
  Lines.clear();
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string line(content.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Lines.push_back(std::move(line));
    start = end + 1;
  }
  int unreadable = 0;
  const std::string* first = nullptr;
  for (const std::string& line : Lines) {
    if (PositionReadable(Split(line))) continue;
    if (unreadable++ == 0) first = &line;
  }
  if (unreadable > 0)
    messages.Show(MsgKind::Error, "Erreur",
                  Format("%s : %d position(s) illisible(s) ignorée(s), la première : %s",
                         QuoteText(NomFichier).c_str(), unreadable, QuoteText(*first).c_str()));
}

int TCoord::FindCoord(std::string_view function, std::string_view label) const {
  const std::string key = std::string(function) + ";" + std::string(label) + ";";
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i].compare(0, key.size(), key) == 0) return static_cast<int>(i);
  return -1;
}

CoordFields TCoord::ReadCoord(std::string_view function, std::string_view label) const {
  const int i = FindCoord(function, label);
  if (i < 0) return {};
  CoordFields f = Split(Lines[static_cast<std::size_t>(i)]);
  if (!PositionReadable(f)) {
    f.x.clear();
    f.y.clear();
  }
  return f;
}

void TCoord::Store(std::string_view function, std::string_view label, std::string line) {
  const int i = FindCoord(function, label);
  if (i >= 0)
    Lines[static_cast<std::size_t>(i)] = std::move(line);
  else
    Lines.push_back(std::move(line));
}

bool TCoord::Write(Messages& messages) const {
  std::string content;
  for (const std::string& line : Lines) {
    content += line;
    content += "\r\n";
  }
  std::string reason;
  if (WriteFileWhole(NomFichier, content, reason)) return true;
  messages.Show(MsgKind::Error, "Erreur",
                Format("Impossible d'écrire %s (%s) : les positions restent en mémoire",
                       QuoteText(NomFichier).c_str(), reason.c_str()));
  return false;
}

}  // namespace hc11
