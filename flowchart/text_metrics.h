// Text measurement of the flowchart font. Layout and painting must measure
// with the same font; the window passes its font metrics, the CLI and the
// tests a fixed-width metric so that every position is exact.
#pragma once

#include <string_view>

namespace hc11 {

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  // Width in pixels of `text` drawn in the flowchart font.
  virtual int TextWidth(std::string_view text) const = 0;
  // Height in pixels of `text` (the sheet's LineH is the height of "X_").
  virtual int TextHeight(std::string_view text) const = 0;
};

// Every character `charWidth` pixels wide, every text `height` pixels high.
class FixedTextMetrics final : public TextMetrics {
 public:
  explicit FixedTextMetrics(int charWidth = 6, int height = 13) : charWidth_(charWidth), height_(height) {}
  int TextWidth(std::string_view text) const override { return charWidth_ * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) const override { return height_; }

 private:
  int charWidth_;
  int height_;
};

}  // namespace hc11
