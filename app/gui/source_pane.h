// The "Source" pane: the program's listing as the assembler wrote it, beside
// the flowchart. A row per file line, the file's line number first; a left
// margin that shows and toggles breakpoints; the program counter's line in
// navy. The pane holds no state of its own: what is shown comes from the
// window's SourceMap, the machine and the flowchart's selection.
#pragma once

#include <QListWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "workbench/source_map.h"

namespace hc11::gui {

class SourcePane final : public QListWidget {
 public:
  static constexpr int kMarginWidth = 16;

  SourcePane();

  // All rows again from `map` (lines without code cannot be selected).
  void SetLines(const SourceMap& map);
  // Breakpoint marks: `colourOf` gives the 0xBBGGRR colour of a code line's
  // address, or nullopt for no mark.
  void SetMarks(const SourceMap& map,
                const std::function<std::optional<std::uint32_t>(std::uint16_t)>& colourOf);
  // The program counter's line (navy), scrolled into view when asked.
  void SetPcLine(std::optional<std::size_t> line, bool scroll);
  // The selected line, without reporting it back.
  void SelectLine(std::optional<std::size_t> line);
  std::optional<std::size_t> PcLine() const { return pcLine_; }

  std::function<void(std::size_t line)> OnLineChosen;   // a click on the text
  std::function<void(std::size_t line)> OnMarginClick;  // a click in the margin
  std::function<void(std::size_t line)> OnLineDoubleClicked;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The arrows choose a line as a click does (the target of F4 and F5).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::optional<std::size_t> pcLine_;
};

}  // namespace hc11::gui
