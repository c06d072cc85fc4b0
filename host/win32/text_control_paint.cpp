// Painting a TextControl: the runs in view of the lines in view, into an
// off-screen bitmap that is then copied to the window in one go.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "host/win32/line_painter.h"
#include "host/win32/shaped_line.h"
#include "host/win32/text_control.h"

namespace host::win32 {

void TextControl::Paint() {
  PAINTSTRUCT paint{};
  HDC window_dc = BeginPaint(window_, &paint);
  PaintArea(window_dc, paint.rcPaint);
  EndPaint(window_, &paint);
}

void TextControl::PaintArea(HDC window_dc, const RECT& area) {
  RECT client{};
  GetClientRect(window_, &client);
  const int width = client.right;
  const int height = area.bottom - area.top;
  // Without memory for the bitmap the lines are drawn straight to the window.
  MemoryDc memory(window_dc);
  UniqueBitmap bitmap;
  if (width > 0 && height > 0 && memory.Get() != nullptr) {
    bitmap.reset(CreateCompatibleBitmap(window_dc, width, height));
  }
  const bool buffered = bitmap != nullptr;
  HDC dc = buffered ? memory.Get() : window_dc;
  std::optional<Selected> bitmap_in;
  if (buffered) bitmap_in.emplace(dc, bitmap.get());
  // The bitmap's first row is the area's top: client coordinates stay valid.
  if (buffered) SetViewportOrgEx(dc, 0, -area.top, nullptr);
  FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));

  // Text is drawn only inside its area, as the edit control clips to its
  // formatting rectangle.
  const RECT text = TextArea();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, text.left, text.top, text.right, text.bottom);
  const double widest_before = document_.WidestLine();
  const auto first_row = static_cast<std::size_t>(std::max(0L, (area.top - text.top) / line_height_));
  const LONG bottom = std::min(area.bottom, text.bottom);
  const auto last_row = static_cast<std::size_t>(std::max(0L, (bottom - 1 - text.top) / line_height_));
  for (std::size_t row = first_row; row <= last_row; ++row) {
    const std::size_t line = top_line_ + row;
    if (line >= document_.LineCount()) break;
    PaintLine(dc, line, text.top + static_cast<int>(row) * line_height_, text);
  }
  RestoreDC(dc, saved);
  if (buffered) {
    SetViewportOrgEx(dc, 0, 0, nullptr);
    BitBlt(window_dc, area.left, area.top, area.right - area.left, height, dc, area.left, 0, SRCCOPY);
  }
  // A line painted wider than any measured before widens the scroll range.
  if (document_.WidestLine() > widest_before) UpdateScrollBars();
}

void TextControl::PaintLine(HDC dc, std::size_t line, int top, const RECT& text_area) {
  const std::size_t start = document_.LineStart(line);
  const StringView text = document_.Line(line);
  // As the system's edit control, the selection is drawn only while the box
  // has the focus, unless its style asks to keep it shown.
  const bool shown = focused_ || (GetWindowLongW(window_, GWL_STYLE) & ES_NOHIDESEL) != 0;
  const TextSpan selection = shown ? document_.Selection() : TextSpan{start, start};
  LineSegment segment{
      .line = text,
      .key = start,
      .origin = static_cast<double>(text_area.left - left_),
      .top = top,
      .visible_left = static_cast<double>(left_),
      .visible_right = static_cast<double>(left_ + text_area.right - text_area.left),
      .selected_from = std::clamp(selection.begin, start, start + text.size()) - start,
      .selected_to = std::clamp(selection.end, start, start + text.size()) - start,
  };
  const LineStyle style{
      .text_font = font_,
      .mark_font = mark_font_ != nullptr ? mark_font_.get() : font_,
      .line_height = line_height_,
      .text = GetSysColor(COLOR_WINDOWTEXT),
      .mark = GetSysColor(COLOR_GRAYTEXT),
      .selected_text = GetSysColor(COLOR_HIGHLIGHTTEXT),
      .selected_background = GetSysColor(COLOR_HIGHLIGHT),
  };
  LineGeometry::Hit end;
  const LineLayout::View view = layouts_->Visible(start, text, segment.visible_left, segment.visible_right);
  if (view.end) end = {text.size(), *view.end};
  // Placed as measured, drawn as shaped again in `dc`, a segment at a time.
  std::size_t index = document_.Size() + 1;
  std::unique_ptr<ShapedLine> shaped;
  std::size_t begin = 0;
  for (const ShownRun& shown : view.runs) {
    if (shown.segment != index) {
      index = shown.segment;
      begin = shown.begin;
      const StringView part = text.substr(begin, layouts_->Start(text, index + 1) - begin);
      shaped = std::make_unique<ShapedLine>(dc, LineFonts(), part, layouts_->StartX(start, text, index),
                                            layouts_->LevelsOf(start, text, index));
    }
    shaped->Draw(dc, shown.run, static_cast<int>(std::lround(segment.origin + shown.x)), top,
                 std::clamp(segment.selected_from, begin, begin + shaped->Size()) - begin,
                 std::clamp(segment.selected_to, begin, begin + shaped->Size()) - begin, style);
  }
  if (end.offset == text.size()) document_.NoteLineWidth(end.x);
  // A selected line break shows as a sliver of selection behind the line.
  const bool has_break = line + 1 < document_.LineCount();
  if (end.offset == text.size() && has_break && selection.begin <= start + text.size() &&
      selection.end >= start + text.size() + 2) {
    const int left = static_cast<int>(std::lround(segment.origin + end.x));
    const RECT sliver{left, top, left + std::max(1, average_advance_ / 2), top + line_height_};
    SetBkColor(dc, style.selected_background);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &sliver, nullptr, 0, nullptr);
  }
}

}  // namespace host::win32
