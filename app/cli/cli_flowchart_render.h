// Writing a flowchart sheet as a PNG or SVG image for hc11flow-cli, with the
// same painting the window shows. Works without a display: unless
// QT_QPA_PLATFORM names a platform, Qt runs offscreen. In a build without the
// painting library every write fails with "image output needs the Qt build".
#pragma once

#include <memory>
#include <string>

#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"

namespace hc11::cli {

class FlowchartImageWriter {
 public:
  FlowchartImageWriter();
  ~FlowchartImageWriter();
  FlowchartImageWriter(const FlowchartImageWriter&) = delete;
  FlowchartImageWriter& operator=(const FlowchartImageWriter&) = delete;

  // The metrics to build the sheet with, so that its boxes fit the painted
  // text: the flowchart font's (starting Qt on first use) when images can be
  // written, a fixed 6 x 13 metric otherwise. Lives as long as the writer.
  const TextMetrics& Metrics();
  // Empty, or why the flowchart font could not be loaded (a system fixed
  // font is used instead, so images differ from machine to machine).
  std::string FontWarning();

  // Whether the images show comment lines and columns (off by default, as
  // the window's "Aff Commentaires").
  void SetShowComments(bool show) { showComments_ = show; }

  // Write the sheet whole (temporary file, then rename), sized to hold every
  // object. False with `error` set when nothing was written.
  bool WritePng(Flowchart& sheet, const std::string& path, std::string& error);
  bool WriteSvg(Flowchart& sheet, const std::string& path, std::string& error);

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool showComments_ = false;
};

}  // namespace hc11::cli
