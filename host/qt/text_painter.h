#pragma once
#include <QPainter>
#include <QRect>

#include "host/textbox/text_document.h"

namespace host::qt {

class TextView;

/// Paints the lines of a TextView that are in view, and of a long line only
/// the segments in view, through the view's shaped line layouts.
class TextPainter {
 public:
  explicit TextPainter(TextView& view);
  void Paint(const QRect& area);

 private:
  void PaintLine(std::size_t line, double top);
  void PaintCaret(double x, double top);

  TextView& view_;
  const TextDocument& document_;
  QPainter painter_;
  TextSpan selection_;
  double left_ = 0;  // viewport x of a line's start
};

}  // namespace host::qt
