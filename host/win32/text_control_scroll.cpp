// Scrolling a TextControl: its native scroll bars, the wheel, and keeping
// the caret in view.
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include "host/textbox/view_scroll.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

constexpr int kHorizontalStep = 20;  // pixels per click on the scroll bar's arrow

bool HasBar(HWND window, int bar) {
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  return (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

int ClampToInt(double value) {
  return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(INT_MAX)));
}

}  // namespace

int TextControl::VisibleLines() const {
  RECT client{};
  GetClientRect(window_, &client);
  return std::max(1, static_cast<int>(client.bottom / line_height_));
}

int TextControl::ContentWidth() { return ClampToInt(std::ceil(document_.WidestLine()) + 2 * kMargin + 1); }

void TextControl::SetBar(int bar, const BarState& state) {
  BarState& shown = bar == SB_VERT ? vertical_bar_ : horizontal_bar_;
  // Each change redraws the bar, which is slow on some systems: only what
  // changed is set.
  if (!HasBar(window_, bar) || state == shown) return;
  // A bar whose whole range is in view stays, disabled, so that the client
  // area never changes size with the text.
  const SCROLLINFO info{.cbSize = sizeof(SCROLLINFO),
                        .fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                        .nMin = 0,
                        .nMax = state.max,
                        .nPage = static_cast<UINT>(state.page),
                        .nPos = state.position,
                        .nTrackPos = 0};
  // Drawing a bar costs as much as painting the text in view, so it is
  // drawn again only when its thumb or its arrows change to the eye: a
  // line growing by a character in millions of pixels leaves them as
  // they were.
  const LONG object = bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
  SCROLLBARINFO before{};
  before.cbSize = sizeof before;
  const bool known = GetScrollBarInfo(window_, object, &before) != FALSE;
  SetScrollInfo(window_, bar, &info, FALSE);
  shown = state;
  SCROLLBARINFO after{};
  after.cbSize = sizeof after;
  const bool same = known && GetScrollBarInfo(window_, object, &after) &&
                    before.xyThumbTop == after.xyThumbTop && before.xyThumbBottom == after.xyThumbBottom &&
                    std::equal(std::begin(before.rgstate), std::end(before.rgstate), std::begin(after.rgstate));
  if (!same) RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TextControl::UpdateScrollBars() {
  RECT client{};
  GetClientRect(window_, &client);
  SetBar(SB_VERT, BarState{.max = ClampToInt(static_cast<double>(document_.LineCount()) - 1),
                           .page = VisibleLines(),
                           .position = ClampToInt(static_cast<double>(top_line_))});
  SetBar(SB_HORZ, BarState{.max = ContentWidth() - 1, .page = std::max<int>(1, client.right), .position = left_});
  ScrollTo(static_cast<std::ptrdiff_t>(top_line_), left_);
}

void TextControl::ScrollTo(std::ptrdiff_t line, std::ptrdiff_t left) {
  RECT client{};
  GetClientRect(window_, &client);
  const auto last_top = std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(document_.LineCount()) - VisibleLines());
  const auto last_left = std::max<std::ptrdiff_t>(0, ContentWidth() - client.right);
  const auto top = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(line, 0, last_top));
  const int new_left = static_cast<int>(std::clamp<std::ptrdiff_t>(left, 0, last_left));
  if (top != top_line_ || new_left != left_) {
    top_line_ = top;
    left_ = new_left;
    BarState vertical = vertical_bar_;
    vertical.position = ClampToInt(static_cast<double>(top));
    SetBar(SB_VERT, vertical);
    BarState horizontal = horizontal_bar_;
    horizontal.position = left_;
    SetBar(SB_HORZ, horizontal);
    InvalidateRect(window_, nullptr, FALSE);
  }
  PlaceCaret();
}

void TextControl::ShowPosition(std::size_t position) {
  position = std::min(position, document_.Size());
  const double x = document_.X(position);
  if (document_.NoteLineWidth(x)) UpdateScrollBars();
  RECT client{};
  GetClientRect(window_, &client);
  const ViewPlace place = ScrollToShow(
      {.top_line = top_line_, .left = static_cast<double>(left_)}, document_.LineOf(position), x,
      {.lines = static_cast<std::size_t>(VisibleLines()), .width = static_cast<double>(client.right), .margin = kMargin});
  ScrollTo(static_cast<std::ptrdiff_t>(place.top_line), static_cast<std::ptrdiff_t>(place.left));
}

void TextControl::OnScroll(int bar, WORD request) {
  RECT client{};
  GetClientRect(window_, &client);
  const bool vertical = bar == SB_VERT;
  const std::ptrdiff_t step = vertical ? 1 : kHorizontalStep;
  const std::ptrdiff_t page = vertical ? VisibleLines() : std::max<LONG>(1, client.right);
  const std::ptrdiff_t now = vertical ? static_cast<std::ptrdiff_t>(top_line_) : left_;
  std::ptrdiff_t target = now;
  switch (request) {
    case SB_LINEUP:
      target = now - step;
      break;
    case SB_LINEDOWN:
      target = now + step;
      break;
    case SB_PAGEUP:
      target = now - page;
      break;
    case SB_PAGEDOWN:
      target = now + page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(window_, bar, &info)) target = info.nTrackPos;
      break;
    }
    case SB_TOP:
      target = 0;
      break;
    case SB_BOTTOM:
      target = PTRDIFF_MAX / 2;
      break;
    default:
      return;
  }
  if (vertical) {
    ScrollTo(target, left_);
  } else {
    ScrollTo(static_cast<std::ptrdiff_t>(top_line_), target);
  }
}

std::size_t TextControl::PageLines() const { return static_cast<std::size_t>(VisibleLines()); }

void TextControl::ScrollBy(std::ptrdiff_t lines, double pixels) {
  ScrollTo(static_cast<std::ptrdiff_t>(top_line_) + lines, left_ + static_cast<std::ptrdiff_t>(std::lround(pixels)));
}

std::size_t TextControl::WheelLines() const {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return lines == WHEEL_PAGESCROLL ? PageLines() : lines;
}

double TextControl::WheelPixels() const {
  UINT characters = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &characters, 0);
  return static_cast<double>(characters) * average_advance_;
}

}  // namespace host::win32
