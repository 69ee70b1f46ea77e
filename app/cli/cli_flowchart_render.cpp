#include "app/cli/cli_flowchart_render.h"

#ifdef HC11_WITH_PAINT
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "core/file_write.h"
#include "flowchart/paint/flow_bitmap.h"
#include "flowchart/paint/flow_font.h"
#include "flowchart/paint/flow_painter.h"
#include "flowchart/view/display_state.h"
#endif

namespace hc11::cli {

#ifdef HC11_WITH_PAINT

namespace {

// PicW x PicH, enlarged to hold every object, arrowheads included: the
// command line has no scroll box to enlarge afterwards.
QSize SheetSize(const Flowchart& sheet) {
  int w = sheet.PicW, h = sheet.PicH;
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
    const TRect& r = sheet.Boxes[i].Rect;
    w = std::max(w, r.Right + 1);
    h = std::max(h, r.Bottom + 1);
  }
  for (int i = 1; i <= sheet.Lines.Count(); ++i) {
    const TRect& r = sheet.Lines[i].Rect;
    w = std::max(w, std::max(r.Left, r.Right) + 4);
    h = std::max(h, std::max(r.Top, r.Bottom) + 7);
  }
  return QSize(w, h);
}

// Encodes the whole image in memory first, then writes it in one go, so a
// failed encoding leaves the old file as it was.
bool SaveWhole(const std::string& path, std::string& error, const std::function<bool(QIODevice&)>& write) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!write(buffer)) {
    if (error.empty()) error = "cannot write " + path;
    return false;
  }
  buffer.close();
  std::string reason;
  if (WriteFileWhole(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     reason))
    return true;
  error = "cannot write " + path + ": " + reason;
  return false;
}

// Qt's own notices (such as a missing runtime directory under offscreen)
// would land among the command's messages; only real failures get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

struct FlowchartImageWriter::State {
  // QGuiApplication keeps references to these for its whole life.
  int argc = 1;
  char name[16] = "hc11flow-cli";
  char* argv[2] = {name, nullptr};
  FixedTextMetrics fixed;
  std::string problem;                   // why painting is unavailable
  std::unique_ptr<QGuiApplication> app;  // only when this writer started Qt
  std::unique_ptr<FlowFont> font;
  std::unique_ptr<QtTextMetrics> metrics;
  bool started = false;

  bool Start() {
    if (started) return font != nullptr;
    started = true;
    if (QCoreApplication::instance() == nullptr) {
      // The command line never opens a window; offscreen needs no display.
      if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
      qInstallMessageHandler(QuietQtMessages);
      app = std::make_unique<QGuiApplication>(argc, argv);
    } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      problem = "image output needs a Qt GUI application";
      return false;
    }
    font = std::make_unique<FlowFont>();
    metrics = std::make_unique<QtTextMetrics>(*font);
    return true;
  }

  bool Ready(const Flowchart& sheet, std::string& error) {
    if (!Start()) {
      error = problem;
      return false;
    }
    if (sheet.Boxes.Count() == 0) {
      error = "the sheet has no box";
      return false;
    }
    return true;
  }
};

FlowchartImageWriter::FlowchartImageWriter() : state_(std::make_unique<State>()) {}
FlowchartImageWriter::~FlowchartImageWriter() = default;

const TextMetrics& FlowchartImageWriter::Metrics() {
  if (state_->Start()) return *state_->metrics;
  return state_->fixed;
}

std::string FlowchartImageWriter::FontWarning() {
  if (!state_->Start()) return state_->problem;
  return state_->font->Error();
}

bool FlowchartImageWriter::WritePng(Flowchart& sheet, const std::string& path, std::string& error) {
  error.clear();
  if (!state_->Ready(sheet, error)) return false;
  const QSize size = SheetSize(sheet);
  FlowBitmap bitmap(state_->font->Font(), 1, 1);
  if (!bitmap.Resize(size.width(), size.height())) {
    error = "the sheet is too large for an image: " + std::to_string(size.width()) + " x " +
            std::to_string(size.height()) + " pixels";
    return false;
  }
  FlowDisplay display;
  display.SetShowComments(showComments_);
  bitmap.Paint(sheet, display, /*relayout=*/false);
  return SaveWhole(path, error, [&](QIODevice& out) {
    if (bitmap.Image().save(&out, "PNG")) return true;
    error = "cannot encode " + path + " as PNG";
    return false;
  });
}

bool FlowchartImageWriter::WriteSvg(Flowchart& sheet, const std::string& path, std::string& error) {
  error.clear();
  if (!state_->Ready(sheet, error)) return false;
  const QSize size = SheetSize(sheet);
  return SaveWhole(path, error, [&](QIODevice& out) {
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(96);
    generator.setTitle(QString::fromStdString(sheet.Boxes.FonctName));
    QPainter painter;
    if (!painter.begin(&generator)) {
      error = "cannot start the SVG output for " + path;
      return false;
    }
    FlowDisplay display;
    display.SetShowComments(showComments_);
    PaintSheet(painter, size.width(), size.height(), sheet, display, state_->font->Font(),
               /*relayout=*/false);
    return painter.end();
  });
}

#else  // built without the painting library

struct FlowchartImageWriter::State {
  FixedTextMetrics fixed;
};

namespace {
constexpr const char* kNoPaint = "image output needs the Qt build";
}

FlowchartImageWriter::FlowchartImageWriter() : state_(std::make_unique<State>()) {}
FlowchartImageWriter::~FlowchartImageWriter() = default;

const TextMetrics& FlowchartImageWriter::Metrics() {
  return state_->fixed;
}

std::string FlowchartImageWriter::FontWarning() {
  return {};
}

bool FlowchartImageWriter::WritePng(Flowchart&, const std::string&, std::string& error) {
  error = kNoPaint;
  return false;
}

bool FlowchartImageWriter::WriteSvg(Flowchart&, const std::string&, std::string& error) {
  error = kNoPaint;
  return false;
}

#endif

}  // namespace hc11::cli
