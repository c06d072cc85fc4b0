#pragma once
#include <QPainter>
#include <QRect>
#include <QString>

#include "host/textbox/text_document.h"

namespace host::qt {

class TextView;

/// Paints the lines of a TextView that are in view, and of a long line only
/// the cells in view, reading the view's document and metrics.
class TextPainter {
 public:
  explicit TextPainter(TextView& view);
  void Paint(const QRect& area);

 private:
  void PaintLine(std::size_t line, double top);
  void FlushRun(double top);
  void PaintMark(const QString& name, double x, double width, double top, bool selected);

  TextView& view_;
  const TextDocument& document_;
  QPainter painter_;
  TextSpan selection_;
  double left_ = 0;  // viewport x of a line's start
  // The run of plain characters gathered for one drawText call.
  QString run_;
  double run_x_ = 0;
  double run_end_ = 0;
  bool run_selected_ = false;
};

}  // namespace host::qt
