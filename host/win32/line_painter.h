#pragma once
#include <cstddef>
#include <string_view>

#include "host/runtime/string.h"
#include "host/textbox/line_geometry.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// Pixels around the name in a control character's box.
inline constexpr int kMarkPadding = 4;

/// How a line is drawn: fonts, colours, the line's height.
struct LineStyle {
  HFONT text_font = nullptr;
  HFONT mark_font = nullptr;  // the names of control characters
  int line_height = 1;
  COLORREF text = 0;
  COLORREF mark = 0;
  COLORREF selected_text = 0;
  COLORREF selected_background = 0;
};

/// The part of one line to draw.
struct LineSegment {
  StringView line;          // the line's text, without its break
  std::size_t key = 0;      // where the line starts in the text, for the geometry's marks
  double origin = 0;        // device x of the line's start
  int top = 0;              // device y of the line's top
  double visible_left = 0;  // the part in view, in x from the line's start
  double visible_right = 0;
  std::size_t selected_from = 0;  // selected units of the line, as offsets
  std::size_t selected_to = 0;
};

/// Fills `rect` with one colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);

/// The small box naming a control character, in its cell.
void PaintMark(HDC dc, std::string_view name, const RECT& cell, bool selected, const LineStyle& style);

}  // namespace host::win32
