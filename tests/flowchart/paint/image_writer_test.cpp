// The command line's PNG and SVG output, end to end with the flowchart font.
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/cli_flowchart_render.h"
#include "tests/flowchart/paint/paint_env.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class ImageWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("hc11_paint_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  void Code(const std::string& addr, const std::string& text, const std::string& label = "") {
    TSynElem e;
    e.AddrText = addr;
    e.Text = text;
    e.Label = label;
    listing.LineList.push_back(e);
    (*listing.ListingMap)[static_cast<std::size_t>(std::stoul(addr, nullptr, 16))] = 'L';
  }

  fs::path dir;
  Listing listing;
  RecordingMessages messages;
  cli::FlowchartImageWriter writer;
};

TEST_F(ImageWriter, WritesPngAndSvgOfTheSheet) {
  EXPECT_EQ(writer.FontWarning(), "");
  Code("E000", "A = $10", "main");
  Code("E002", "call affiche");
  Code("E005", "ret");
  Flowchart sheet(listing, messages, writer.Metrics());
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  EXPECT_EQ(sheet.LineH, TestFont().Metrics().height());

  std::string error;
  const fs::path png = dir / "main.png";
  ASSERT_TRUE(writer.WritePng(sheet, png.string(), error)) << error;
  const QImage image(QString::fromStdString(png.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), sheet.PicW);
  EXPECT_EQ(image.height(), sheet.PicH);
  const TRectangle& b = sheet.Boxes[1];
  EXPECT_EQ(PixelAt(image, b.Rect.Left + b.LargLabel, b.Rect.Top + 3), kBlack);
  EXPECT_EQ(PixelAt(image, 2, 2), kWhite);

  const fs::path svg = dir / "main.svg";
  ASSERT_TRUE(writer.WriteSvg(sheet, svg.string(), error)) << error;
  std::stringstream text;
  text << std::ifstream(svg).rdbuf();
  EXPECT_NE(text.str().find("<svg"), std::string::npos);
  EXPECT_NE(text.str().find("call affiche"), std::string::npos);
  // Nothing but the two images is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(ImageWriter, FailuresAreReportedAndWriteNothing) {
  Flowchart sheet(listing, messages, writer.Metrics());
  std::string error;
  EXPECT_FALSE(writer.WritePng(sheet, (dir / "empty.png").string(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir / "empty.png"));

  Code("E000", "ret", "main");
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  const fs::path missing = dir / "no_such_folder" / "main.png";
  EXPECT_FALSE(writer.WritePng(sheet, missing.string(), error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  EXPECT_FALSE(writer.WriteSvg(sheet, (dir / "no_such_folder" / "main.svg").string(), error));
  EXPECT_FALSE(fs::exists(dir / "no_such_folder"));
}

}  // namespace
}  // namespace hc11::test
