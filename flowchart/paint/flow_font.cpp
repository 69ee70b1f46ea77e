#include "flowchart/paint/flow_font.h"

#include <QFontDatabase>
#include <QStringDecoder>
#include <QStringList>

namespace hc11 {

QString ToQString(std::string_view text) {
  const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(bytes);
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(bytes);
}

FlowFont::FlowFont(const std::string& file, int pixelSize)
    : font_(Make(file, pixelSize, error_)), metrics_(font_) {}

QFont FlowFont::Make(const std::string& file, int pixelSize, std::string& error) {
  QFont font;
  const int id = QFontDatabase::addApplicationFont(QString::fromStdString(file));
  const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
  if (families.isEmpty()) {
    error = "cannot load the flowchart font " + file;
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  } else {
    font = QFont(families.front());
  }
  font.setPixelSize(pixelSize);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  return font;
}

int QtTextMetrics::TextWidth(std::string_view text) const {
  return font_.Metrics().horizontalAdvance(ToQString(text));
}

int QtTextMetrics::TextHeight(std::string_view) const {
  return font_.Metrics().height();
}

}  // namespace hc11
