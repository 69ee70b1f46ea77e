// The command line's PNG and SVG output, end to end with the flowchart font.
#include <QImage>

#include "app/cli/cli_flowchart_render.h"
#include "tests/flowchart/paint/paint_env.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class ImageWriter : public SheetFixture {
 protected:
  cli::FlowchartImageWriter writer;
  Flowchart measured{listing, messages, writer.Metrics()};
};

TEST_F(ImageWriter, WritesPngAndSvgOfTheSheet) {
  EXPECT_EQ(writer.FontWarning(), "");
  Codes({"E000|main|A = $10", "E002||call affiche", "E005||ret"});
  ASSERT_TRUE(measured.BuildFlowchart("main"));
  EXPECT_EQ(measured.LineH, TestFont().Metrics().height());
  std::string error;
  ASSERT_TRUE(writer.WritePng(measured, (TempDir() / "main.png").string(), error)) << error;
  const QImage image(QString::fromStdString((TempDir() / "main.png").string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(measured.PicW, measured.PicH));
  const TRectangle& b = measured.Boxes[1];
  EXPECT_EQ(PixelAt(image, b.Rect.Left + b.LargLabel, b.Rect.Top + 3), kBlack);
  EXPECT_EQ(PixelAt(image, 2, 2), kWhite);

  ASSERT_TRUE(writer.WriteSvg(measured, (TempDir() / "main.svg").string(), error)) << error;
  const std::string svg = ReadText(TempDir() / "main.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("call affiche"), std::string::npos);
  // Nothing but the two images is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(TempDir()), fs::directory_iterator()), 2);
}

TEST_F(ImageWriter, FailuresAreReportedAndWriteNothing) {
  std::string error;
  EXPECT_FALSE(writer.WritePng(measured, (TempDir() / "empty.png").string(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(TempDir() / "empty.png"));
  Codes({"E000|main|ret"});
  ASSERT_TRUE(measured.BuildFlowchart("main"));
  EXPECT_FALSE(writer.WritePng(measured, (TempDir() / "no_such_folder" / "main.png").string(), error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  EXPECT_FALSE(writer.WriteSvg(measured, (TempDir() / "no_such_folder" / "main.svg").string(), error));
  EXPECT_FALSE(fs::exists(TempDir() / "no_such_folder"));
}

}  // namespace
}  // namespace hc11::test
