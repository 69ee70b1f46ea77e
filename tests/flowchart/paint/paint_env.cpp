#include "tests/flowchart/paint/paint_env.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace hc11::test {
namespace {

// Starts the application before the first test and ends it after the last.
class QtEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override {
    font_.reset();
    app_.reset();
  }
  const FlowFont& Font() {
    if (!font_) font_ = std::make_unique<FlowFont>();
    return *font_;
  }

 private:
  int argc_ = 1;
  char name_[32] = "flowchart_paint_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
  std::unique_ptr<FlowFont> font_;
};

QtEnvironment* const gEnvironment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

const FlowFont& TestFont() {
  return gEnvironment->Font();
}

Colour PixelAt(const QImage& image, int x, int y) {
  const QRgb c = image.pixel(x, y);
  return static_cast<Colour>(qBlue(c)) << 16 | static_cast<Colour>(qGreen(c)) << 8 |
         static_cast<Colour>(qRed(c));
}

}  // namespace hc11::test
