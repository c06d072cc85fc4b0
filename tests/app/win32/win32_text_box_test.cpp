#include "host/win32/win32_text_box.h"

#include <gtest/gtest.h>

#include "host/objects/twips.h"
#include "host/win32/dpi.h"
#include "host/win32/win32_window.h"
#include "tests/app/win32/win32_test_support.h"

namespace host::win32 {
namespace {

using testing::Control;

class Win32TextBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = &static_cast<Win32Window&>(backend_.CreateWindow(window::kJSONfrmDesign, sink_));
    ASSERT_EQ(window_->GetTextBox("Inputs", inputs_), kOk);
    edit_ = Control(window_->Handle(), testing::kInputsId);
  }

  // The control's rectangle in its parent's client coordinates.
  RECT Placed() const {
    RECT rect{};
    GetWindowRect(edit_, &rect);
    MapWindowPoints(HWND_DESKTOP, window_->Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  Win32Backend backend_;
  testing::RecordingSink sink_;
  Win32Window* window_ = nullptr;
  Ref<TextBox> inputs_;
  HWND edit_ = nullptr;
};

String Large() {
  String text;
  const StringView piece = u"{\"k\":[1,2],\r\n\t\"\U0001F600\":\"x\"}";
  while (text.size() < (1u << 20)) text += piece;
  return text;
}

struct TextCase {
  const char* name;
  String text;
};

class TextRoundTrip : public Win32TextBoxTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextRoundTrip, EveryCodeUnitWrittenIsReadBack) {
  ASSERT_EQ(inputs_->PutText(u"previous content"), kOk);
  const String& text = GetParam().text;
  ASSERT_EQ(inputs_->PutText(text), kOk);
  String read;
  ASSERT_EQ(inputs_->GetText(read), kOk);
  ASSERT_EQ(read.size(), text.size());
  EXPECT_TRUE(read == text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextRoundTrip,
    ::testing::Values(TextCase{"Empty", u""}, TextCase{"Ascii", u"abc"},
                      TextCase{"LoneCr", u"a\rb\r"}, TextCase{"LoneLf", u"a\nb\n"},
                      TextCase{"CrLf", u"{\r\n\"a\":1\r\n}"}, TextCase{"CrCrLf", u"a\r\r\nb"},
                      TextCase{"Tabs", u"\ta\t"},
                      TextCase{"SurrogatePair", u"\U0001F600\U00010348"},
                      TextCase{"LoneSurrogates", String{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}}},
                      TextCase{"NonCharacters", u"\uFEFF\uFFFE\uFFFF\u00A0"},
                      TextCase{"OneMegabyte", Large()}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST_F(Win32TextBoxTest, ATextWithANulIsKeptWhole) {
  const String text(u"ab\0cd\0", 6);
  ASSERT_EQ(inputs_->PutText(text), kOk);
  String read;
  ASSERT_EQ(inputs_->GetText(read), kOk);
  EXPECT_TRUE(read == text);
}

TEST_F(Win32TextBoxTest, TheUserMayTypeOrPasteAsMuchAsTheControlCanHold) {
  EXPECT_GE(static_cast<std::uint32_t>(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
}

TEST_F(Win32TextBoxTest, MultiLineBoxWithBothScrollBarsDoesNotWrapAndKeepsEnter) {
  const auto style = static_cast<DWORD>(GetWindowLongW(edit_, GWL_STYLE));
  for (DWORD bit : {DWORD{ES_MULTILINE}, DWORD{ES_WANTRETURN}, DWORD{ES_AUTOHSCROLL},
                    DWORD{ES_AUTOVSCROLL}, DWORD{WS_HSCROLL}, DWORD{WS_VSCROLL},
                    DWORD{WS_TABSTOP}}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }
  EXPECT_EQ(style & ES_READONLY, 0u);
}

TEST(TextBoxStyle, FollowsTheDesignsScrollBarsAndLines) {
  ControlDesign vertical;
  vertical.multi_line = true;
  vertical.scroll_bars = ScrollBars::kVertical;
  EXPECT_EQ(TextBoxStyle(vertical) & (ES_AUTOHSCROLL | WS_HSCROLL), 0u) << "wraps long lines";
  EXPECT_NE(TextBoxStyle(vertical) & WS_VSCROLL, 0u);
  const ControlDesign single;
  EXPECT_EQ(TextBoxStyle(single) & (ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL), 0u);
  EXPECT_NE(TextBoxStyle(single) & ES_AUTOHSCROLL, 0u);
}

struct PlaceCase {
  const char* name;
  Status (TextBox::*put)(float);
  float twips;
  LONG RECT::*edge;  // the edge that moves; left and top, or right/bottom for sizes
  bool size;
  bool vertical;
};

class Placing : public Win32TextBoxTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Placing, MovesOrSizesOneEdgeInPixelsAndNegativeSizesAreZero) {
  const PlaceCase& c = GetParam();
  const RECT before = Placed();
  ASSERT_EQ(((*inputs_).*c.put)(c.twips), kOk);
  const RECT after = Placed();
  const Dpi dpi = ScreenDpi();
  const int pixels = TwipsToPixels(c.twips, c.vertical ? dpi.y : dpi.x, c.size);
  if (c.size) {
    const LONG origin = c.vertical ? after.top : after.left;
    EXPECT_EQ(after.*c.edge - origin, pixels);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
  } else {
    EXPECT_EQ(after.*c.edge, pixels);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Placing,
    ::testing::Values(PlaceCase{"Left", &TextBox::PutLeft, 960, &RECT::left, false, false},
                      PlaceCase{"NegativeLeft", &TextBox::PutLeft, -150, &RECT::left, false, false},
                      PlaceCase{"Top", &TextBox::PutTop, 1320, &RECT::top, false, true},
                      PlaceCase{"Width", &TextBox::PutWidth, 3000.4f, &RECT::right, true, false},
                      PlaceCase{"NegativeWidth", &TextBox::PutWidth, -500, &RECT::right, true, false},
                      PlaceCase{"Height", &TextBox::PutHeight, 2000, &RECT::bottom, true, true},
                      PlaceCase{"NegativeHeight", &TextBox::PutHeight, -1, &RECT::bottom, true, true}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace host::win32
