// Painting a TextControl: the lines in view, each shaped whole or, when
// long, the segments of it in view, into an off-screen bitmap that is then
// copied to the window in one go.
#include <algorithm>
#include <cmath>
#include <optional>

#include "host/win32/line_painter.h"
#include "host/win32/long_line.h"
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

  const double widest_before = document_.WidestLine();
  const auto first_row = static_cast<std::size_t>(std::max(0L, area.top / line_height_));
  const auto last_row = static_cast<std::size_t>(std::max(0L, (area.bottom - 1) / line_height_));
  for (std::size_t row = first_row; row <= last_row; ++row) {
    const std::size_t line = top_line_ + row;
    if (line >= document_.LineCount()) break;
    PaintLine(dc, line, static_cast<int>(row) * line_height_, width);
  }
  if (buffered) {
    SetViewportOrgEx(dc, 0, 0, nullptr);
    BitBlt(window_dc, area.left, area.top, area.right - area.left, height, dc, area.left, 0, SRCCOPY);
  }
  // A line painted wider than any measured before widens the scroll range.
  if (document_.WidestLine() > widest_before) UpdateScrollBars();
}

void TextControl::PaintLine(HDC dc, std::size_t line, int top, int width) {
  const std::size_t start = document_.LineStart(line);
  const StringView text = document_.Line(line);
  const TextSpan selection = document_.Selection();
  LineSegment segment{
      .line = text,
      .key = start,
      .origin = static_cast<double>(kMargin - left_),
      .top = top,
      .visible_left = static_cast<double>(left_ - kMargin),
      .visible_right = static_cast<double>(left_ - kMargin + width),
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
  if (text.size() <= ShapedLine::kMaxUnits) {
    // Shaped whole, as the caret and the mouse find it.
    const ShapedLine shaped(dc, LineFonts(), text);
    shaped.Draw(dc, kMargin - left_, top, segment.selected_from, segment.selected_to, style);
    end = {text.size(), static_cast<double>(shaped.Width())};
  } else {
    // Shaped a segment at a time, only the segments in view.
    end = LongLine(shapes_, measure_dc_.Get(), LineFonts(), *places_, start, text).Paint(dc, segment, style);
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
