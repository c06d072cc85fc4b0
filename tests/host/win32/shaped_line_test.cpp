// The host's Windows text box against the script processor's own layout of
// the same line (the ScriptString functions with the box's font): caret x,
// what a click hits, where the arrow keys go and what is painted.
#include "host/win32/shaped_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/textbox/text_navigation.h"
#include "host/win32/text_control.h"
#include "host/win32/wide_text.h"
#include "tests/host/win32/shaping_reference.h"

namespace host::win32 {
namespace {


struct ShapedCase {
  const char* name;
  StringView text;
};

const ShapedCase kCases[] = {
    {"Arabic", u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"},
    {"Hebrew", u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"},
    {"Latin, digits and right-to-left in one line",
     u"id 42: \u05E9\u05DC\u05D5\u05DD 123 \u0645\u0631\u062D\u0628\u0627 7, ok"},
    {"combining marks", u"e\u0301 a\u0323\u0302 n\u0303o"},
    {"emoji ZWJ sequence and a flag", u"x \U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1EB\U0001F1F7 y"},
};

class ShapedLineTest : public PopupControlTest<640, 80> {
 protected:
  void SetUp() override {
    PopupControlTest::SetUp();
    dc_ = CreateCompatibleDC(nullptr);
  }
  void TearDown() override {
    DeleteDC(dc_);
    PopupControlTest::TearDown();
  }

  HDC dc_ = nullptr;
};

TEST_F(ShapedLineTest, CaretClicksAndArrowKeysFollowTheProcessorsLayout) {
  for (const ShapedCase& test : kCases) {
    control_->ResetText(String(test.text));
    const Reference reference(dc_, BoxFont(), test.text);
    const auto length = static_cast<int>(test.text.size());
    std::vector<std::size_t> stops;  // never between the halves of a pair
    for (int position = 0; position <= length; ++position) {
      if (!reference.IsStop(position)) continue;
      if (position > 0 && IsHighSurrogate(test.text[position - 1]) && IsLowSurrogate(test.text[position])) continue;
      stops.push_back(static_cast<std::size_t>(position));
      EXPECT_EQ(control_->PointAt(static_cast<std::size_t>(position)).x, TextControl::kMargin + reference.X(position))
          << test.name << " at " << position;
    }
    const int middle = control_->LineHeight() / 2;
    for (int x = 0; x < reference.Width() + 10; ++x) {
      EXPECT_EQ(control_->PositionAt(POINT{x, middle}),
                static_cast<std::size_t>(reference.Hit(x - TextControl::kMargin)))
          << test.name << " at x " << x;
    }
    std::vector<std::size_t> right{control_->Document().Caret()};
    while (right.back() < test.text.size() && right.size() <= test.text.size()) {
      control_->Document().Move(Motion::kRight, false);
      right.push_back(control_->Document().Caret());
    }
    EXPECT_EQ(right, stops) << test.name;
  }
}

TEST_F(ShapedLineTest, ALineAndItsSelectionArePaintedAsTheProcessorDrawsThem) {
  struct Selection {
    int from;
    int to;
  };
  for (const ShapedCase& test : kCases) {
    for (const Selection selection : {Selection{0, 0}, Selection{2, 7}}) {
      control_->ResetText(String(test.text));
      control_->Document().SetSelection(static_cast<std::size_t>(selection.from),
                                        static_cast<std::size_t>(selection.to));
      HideCaret(window_);  // the blinking caret is no part of the comparison
      RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      HDC window_dc = GetDC(window_);
      const std::vector<COLORREF> seen = Pixels(window_dc, kWidth, control_->LineHeight());

      // The same text drawn by the processor on the window's background.
      HDC memory = CreateCompatibleDC(window_dc);
      HBITMAP bitmap = CreateCompatibleBitmap(window_dc, kWidth, control_->LineHeight());
      HGDIOBJ old = SelectObject(memory, bitmap);
      const RECT all{0, 0, kWidth, control_->LineHeight()};
      FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));
      SetBkMode(memory, TRANSPARENT);
      SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
      {
        const Reference reference(memory, BoxFont(), test.text);
        ScriptStringOut(reference.Get(), TextControl::kMargin, 0, 0, nullptr, selection.from, selection.to, FALSE);
      }
      const std::vector<COLORREF> expected = Pixels(memory, kWidth, control_->LineHeight());
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      ReleaseDC(window_, window_dc);

      std::size_t differing = 0;
      std::size_t inked = 0;
      for (std::size_t i = 0; i < seen.size(); ++i) {
        differing += seen[i] != expected[i];
        inked += seen[i] != GetSysColor(COLOR_WINDOW);
      }
      EXPECT_EQ(differing, 0u) << test.name << " selected " << selection.from << ".." << selection.to;
      EXPECT_GT(inked, 0u) << test.name;
    }
  }
}

}  // namespace
}  // namespace host::win32
