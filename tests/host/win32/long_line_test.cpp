// A line too long to shape whole, scrolled to its middle: each segment in
// view is painted, and places the caret, as the script processor lays out
// that segment's text on its own, right where the segment before it ends as
// the processor lays that one out; the arrow keys stop where the
// processor's clusters end, never between the halves of a pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/textbox/code_points.h"
#include "host/textbox/line_cuts.h"
#include "host/win32/shaped_line.h"
#include "host/win32/text_control.h"
#include "tests/host/textbox/cell_surface.h"
#include "tests/host/win32/shaping_reference.h"

namespace host::win32 {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 80;

String Repeated(StringView piece, std::size_t size) {
  String line;
  while (line.size() < size) line += piece;
  return line;
}

using LongLineTest = PopupControlTest<kWidth, kHeight>;

TEST_F(LongLineTest, ASegmentInTheMiddleIsPaintedAndPlacedAsTheProcessorLaysItOut) {
  const String line = Repeated(u"word \u060C \u0639\u0631\u0628\u064A, ", 100'000);
  control_->ResetText(line);
  control_->ShowPosition(line.size() / 2);
  ASSERT_GT(control_->Left(), 100'000);  // scrolled far into the line
  // Painted first, as the user sees the line before pointing into it.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const int middle = control_->LineHeight() / 2;
  const std::size_t index = CutSegmentOf(line, control_->PositionAt(POINT{kWidth / 2, middle}));
  const std::size_t begin = CutSegmentStart(line, index);
  const StringView text = StringView(line).substr(begin, CutSegmentStart(line, index + 1) - begin);
  HDC screen = GetDC(nullptr);
  HDC measure = CreateCompatibleDC(screen);
  const Reference reference(measure, BoxFont(), text);
  const std::size_t before_begin = CutSegmentStart(line, index - 1);
  const Reference before(measure, BoxFont(), StringView(line).substr(before_begin, begin - before_begin));
  // No gap and no overlap: the segment starts where the one before ends.
  int left = control_->PointAt(before_begin).x + before.Width();
  // The columns this segment paints, in view.
  int from = std::max(0, left);
  int to = std::min(kWidth, left + reference.Width());
  ASSERT_GT(to - from, 40);

  for (int position = 0; position < static_cast<int>(text.size()); ++position) {
    if (!reference.IsStop(position)) continue;
    EXPECT_EQ(control_->PointAt(begin + static_cast<std::size_t>(position)).x, left + reference.X(position))
        << "at " << position;
  }
  for (int x = from; x < to; ++x) {
    EXPECT_EQ(control_->PositionAt(POINT{x, middle}), begin + static_cast<std::size_t>(reference.Hit(x - left)))
        << "at x " << x;
  }

  struct Selection {
    int from;
    int to;
  };
  for (const Selection selection : {Selection{0, 0}, Selection{3, 40}}) {
    control_->Document().SetSelection(begin + static_cast<std::size_t>(selection.from),
                                      begin + static_cast<std::size_t>(selection.to));
    control_->ShowPosition(line.size() / 2);
    HideCaret(window_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    left = control_->PointAt(before_begin).x + before.Width();
    EXPECT_EQ(control_->PointAt(begin).x, left) << "the segments stand side by side";
    // Only the text area shows text.
    const RECT area = control_->TextArea();
    from = std::max<int>(area.left, left);
    to = std::min<int>(area.right, left + reference.Width());
    HDC window_dc = GetDC(window_);
    const std::vector<COLORREF> seen = Pixels(window_dc, kWidth, control_->LineHeight());
    ReleaseDC(window_, window_dc);

    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, control_->LineHeight());
    HGDIOBJ old = SelectObject(measure, bitmap);
    const RECT all{0, 0, kWidth, control_->LineHeight()};
    FillRect(measure, &all, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(measure, TRANSPARENT);
    SetTextColor(measure, GetSysColor(COLOR_WINDOWTEXT));
    {
      const Reference drawn(measure, BoxFont(), text);
      ScriptStringOut(drawn.Get(), left, 0, 0, nullptr, selection.from, selection.to, FALSE);
    }
    const std::vector<COLORREF> expected = Pixels(measure, kWidth, control_->LineHeight());
    SelectObject(measure, old);
    DeleteObject(bitmap);

    std::size_t differing = 0;
    std::size_t inked = 0;
    for (int y = 0; y < control_->LineHeight(); ++y) {
      for (int x = from; x < to; ++x) {
        const auto at = static_cast<std::size_t>(y * kWidth + x);
        differing += seen[at] != expected[at];
        inked += seen[at] != GetSysColor(COLOR_WINDOW);
      }
    }
    EXPECT_EQ(differing, 0u) << "selected " << selection.from << ".." << selection.to;
    EXPECT_GT(inked, 0u);
  }
  DeleteDC(measure);
  ReleaseDC(nullptr, screen);
}

TEST_F(LongLineTest, ArrowKeysStopAtTheProcessorsClustersOfEachSegment) {
  const String line = Repeated(u"a\U0001F600 e\u0301, \U0001F468\u200D\U0001F469 \u0639\u064E\u0631 ", 3000);
  ASSERT_GT(CutSegmentCount(line.size()), 2u);
  control_->ResetText(line);
  HDC measure = CreateCompatibleDC(nullptr);
  std::vector<std::size_t> stops;
  for (std::size_t index = 0; index < CutSegmentCount(line.size()); ++index) {
    const std::size_t begin = CutSegmentStart(line, index);
    const StringView text = StringView(line).substr(begin, CutSegmentStart(line, index + 1) - begin);
    const Reference reference(measure, BoxFont(), text);
    for (std::size_t position = 0; position < text.size(); ++position) {
      if (!reference.IsStop(static_cast<int>(position))) continue;
      if (position > 0 && IsHighSurrogate(text[position - 1]) && IsLowSurrogate(text[position])) continue;
      stops.push_back(begin + position);
    }
  }
  stops.push_back(line.size());
  DeleteDC(measure);

  std::vector<std::size_t> right{control_->Document().Caret()};
  while (right.back() < line.size() && right.size() <= line.size()) {
    control_->Document().Move(Motion::kRight, false);
    right.push_back(control_->Document().Caret());
  }
  EXPECT_EQ(right, stops);
  std::vector<std::size_t> left{control_->Document().Caret()};
  while (left.back() > 0 && left.size() <= line.size()) {
    control_->Document().Move(Motion::kLeft, false);
    left.push_back(control_->Document().Caret());
  }
  std::reverse(left.begin(), left.end());
  EXPECT_EQ(left, stops);
  for (const std::size_t stop : right) {
    ASSERT_FALSE(stop > 0 && stop < line.size() && IsHighSurrogate(line[stop - 1]) && IsLowSurrogate(line[stop]))
        << "between the halves of a pair at " << stop;
  }
}

// Minified JSON whose keys are Arabic reads from the right: the first key
// stands right of the last, though the line is shaped in segments.
TEST_F(LongLineTest, ARightToLeftStretchReadsFromTheRightAcrossSegments) {
  std::size_t last_key = 0;
  const String json = testing_surface::ArabicKeyedJson(250, &last_key);
  ASSERT_GT(CutSegmentCount(json.size()), 4u);
  control_->ResetText(json);
  EXPECT_GT(control_->PointAt(2).x, control_->PointAt(last_key).x + 1000);
}

}  // namespace
}  // namespace host::win32
