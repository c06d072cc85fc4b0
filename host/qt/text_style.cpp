#include "host/qt/text_style.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace host::qt {

TextStyle TextStyle::For(const QFont& font, const QPaintDevice* device) {
  TextStyle style;
  style.text_font = font;
  style.device = device;
  // Kerning off: each character then advances by its own width wherever it
  // stands, so that the widths of lines never shaped can be estimated
  // character by character, close to what shaping gives.
  style.text_font.setKerning(false);
  style.mark_font = style.text_font;
  style.mark_font.setPointSizeF(style.text_font.pointSizeF() * kMarkFontScale);
  const QFontMetricsF metrics(style.text_font, device);
  style.line_height = std::max(1.0, std::ceil(metrics.lineSpacing()));
  style.ascent = metrics.ascent();
  style.average_advance = std::max(1.0, metrics.averageCharWidth());
  style.tab_width = kTabCells * style.average_advance;
  return style;
}

double TextStyle::MarkWidth(std::string_view name) const {
  const QFontMetricsF metrics(mark_font, device);
  return metrics.horizontalAdvance(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))) +
         kMarkPadding;
}

}  // namespace host::qt
