#include "host/win32/line_painter.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "host/textbox/code_points.h"
#include "host/textbox/control_marks.h"
#include "host/win32/handles.h"
#include "host/win32/wide_text.h"

namespace host::win32 {
namespace {

constexpr std::size_t kMaxRunUnits = 256;
constexpr int kMarkRadius = 4;
constexpr double kMarkInset = 0.15;  // of the line height, above and below a mark's box

int Pixel(double x) { return static_cast<int>(std::lround(x)); }

// A run of plain characters drawn in one call, each at the x the geometry
// gives it, so that what is drawn matches where the caret and the mouse
// find the characters.
class Run {
 public:
  Run(HDC dc, const LineSegment& segment, const LineStyle& style) : dc_(dc), segment_(segment), style_(style) {}

  bool Empty() const { return units_.empty(); }
  bool Selected() const { return selected_; }
  std::size_t Size() const { return units_.size(); }

  void Add(char16_t unit, double x, double next, bool selected) {
    if (units_.empty()) {
      start_ = x;
      selected_ = selected;
    }
    units_ += static_cast<wchar_t>(unit);
    ends_.push_back(next);
  }

  void Flush() {
    if (units_.empty()) return;
    const int left = Pixel(segment_.origin + start_);
    const int right = Pixel(segment_.origin + ends_.back());
    if (selected_) {
      const RECT cell{left, segment_.top, right, segment_.top + style_.line_height};
      FillSolid(cell, style_.selected_background);
    }
    advances_.resize(units_.size());
    int at = left;
    for (std::size_t i = 0; i < units_.size(); ++i) {
      const int end = Pixel(segment_.origin + ends_[i]);
      advances_[i] = end - at;
      at = end;
    }
    SetTextColor(dc_, selected_ ? style_.selected_text : style_.text);
    ExtTextOutW(dc_, left, segment_.top, 0, nullptr, units_.data(), static_cast<UINT>(units_.size()),
                advances_.data());
    units_.clear();
    ends_.clear();
  }

  void FillSolid(const RECT& rect, COLORREF colour) { win32::FillSolid(dc_, rect, colour); }

 private:
  HDC dc_;
  const LineSegment& segment_;
  const LineStyle& style_;
  std::wstring units_;
  std::vector<double> ends_;
  std::vector<INT> advances_;
  double start_ = 0;
  bool selected_ = false;
};

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

LineGeometry::Hit PaintLineSegment(HDC dc, LineGeometry& geometry, const LineSegment& segment,
                                   const LineStyle& style) {
  const StringView text = segment.line;
  const Selected font_in(dc, style.text_font);
  SetBkMode(dc, TRANSPARENT);
  Run run(dc, segment, style);
  LineGeometry::Hit at = geometry.Before(segment.key, text, segment.visible_left);
  while (at.offset < text.size() && at.x <= segment.visible_right) {
    const LineGeometry::Hit next = geometry.Step(text, at);
    const CodePoint character = CodePointAt(text, at.offset);
    const bool selected = at.offset >= segment.selected_from && at.offset < segment.selected_to;
    const std::string_view mark = ControlMark(character.value);
    const bool plain = mark.empty() && character.value != U'\t';
    const bool joins = plain && character.units == 1 && selected == run.Selected() && run.Size() < kMaxRunUnits;
    if (!run.Empty() && !joins) run.Flush();
    const RECT cell{Pixel(segment.origin + at.x), segment.top, Pixel(segment.origin + next.x),
                    segment.top + style.line_height};
    if (!mark.empty()) {
      PaintMark(dc, mark, cell, selected, style);
    } else if (!plain) {
      if (selected) run.FillSolid(cell, style.selected_background);  // a tab
    } else if (character.units == 2) {
      // A pair is drawn on its own: how the advances of a run would be
      // shared between its two units is not the same on every system.
      if (selected) run.FillSolid(cell, style.selected_background);
      SetTextColor(dc, selected ? style.selected_text : style.text);
      ExtTextOutW(dc, cell.left, segment.top, 0, nullptr, AsWide(text.data() + at.offset), 2, nullptr);
    } else {
      run.Add(text[at.offset], at.x, next.x, selected);
    }
    at = next;
  }
  run.Flush();
  return at;
}

}  // namespace host::win32
