// The flowchart font: DejaVu Sans Mono from the fonts-dejavu-core package,
// loaded from its file so that every machine lays out and paints with the same
// glyphs, at a fixed pixel size (independent of the screen's resolution) and
// without hinting (widths do not change with the platform's hinting setup).
// Needs a QGuiApplication.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <string>
#include <string_view>

#include "flowchart/text_metrics.h"

namespace hc11 {

inline constexpr const char* kFlowFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
inline constexpr int kFlowFontPixelSize = 12;

// Listing text as Qt text: UTF-8 when the bytes are valid UTF-8, otherwise
// Latin-1 (listings written by older editors), so no byte is lost.
QString ToQString(std::string_view text);

class FlowFont {
 public:
  // Loads `file`; when it cannot be loaded, falls back to the system's fixed
  // font at the same size and Error() says why.
  explicit FlowFont(const std::string& file = kFlowFontFile, int pixelSize = kFlowFontPixelSize);

  const QFont& Font() const { return font_; }
  const QFontMetrics& Metrics() const { return metrics_; }
  bool Loaded() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  static QFont Make(const std::string& file, int pixelSize, std::string& error);

  std::string error_;
  QFont font_;
  QFontMetrics metrics_;
};

// Text measurement with the flowchart font; the sheet lays out with it and the
// painter draws with the same font.
class QtTextMetrics final : public TextMetrics {
 public:
  explicit QtTextMetrics(const FlowFont& font) : font_(font) {}
  int TextWidth(std::string_view text) const override;
  int TextHeight(std::string_view text) const override;
  const FlowFont& Font() const { return font_; }

 private:
  const FlowFont& font_;
};

}  // namespace hc11
