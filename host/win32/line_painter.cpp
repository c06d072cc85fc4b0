#include "host/win32/line_painter.h"

#include <string>
#include <string_view>

#include "host/win32/handles.h"

namespace host::win32 {
namespace {

constexpr int kMarkRadius = 4;
constexpr double kMarkInset = 0.15;  // of the line height, above and below a mark's box

}  // namespace

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void PaintMark(HDC dc, std::string_view name, const RECT& cell, bool selected, const LineStyle& style) {
  if (selected) FillSolid(dc, cell, style.selected_background);
  const COLORREF ink = selected ? style.selected_text : style.mark;
  const int inset = static_cast<int>(style.line_height * kMarkInset);
  RECT box{cell.left + 1, cell.top + inset, cell.right - 1, cell.bottom - inset};
  const UniquePen pen(CreatePen(PS_SOLID, 1, ink));
  const Selected pen_in(dc, pen.get());
  const Selected brush_in(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, box.left, box.top, box.right, box.bottom, kMarkRadius, kMarkRadius);
  const Selected font_in(dc, style.mark_font);
  SetTextColor(dc, ink);
  const std::wstring text(name.begin(), name.end());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

}  // namespace host::win32
