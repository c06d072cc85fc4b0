#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <string_view>

namespace host::qt {

/// How a text box draws its text: the fonts, the row, the tab stops and the
/// small boxes that name control characters.
struct TextStyle {
  static constexpr double kTabCells = 8;         // tab stops, in average character widths
  static constexpr double kMarkFontScale = 0.7;  // control marks are drawn smaller than the text
  static constexpr double kMarkPadding = 4;      // pixels around a mark's name

  /// The style for `font` on `device` (for its resolution).
  static TextStyle For(const QFont& font, const QPaintDevice* device);

  /// How wide the box naming a control character is.
  double MarkWidth(std::string_view name) const;

  QFont text_font;
  QFont mark_font;
  double line_height = 1;
  double ascent = 0;
  double average_advance = 1;
  double tab_width = 8;
  const QPaintDevice* device = nullptr;  // whose resolution the metrics are for
};

}  // namespace host::qt
