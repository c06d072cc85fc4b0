// The keyboard, the mouse, the input method and scrolling in a text box, as
// a user meets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/win32/text_control_fixture.h"

namespace host::win32 {
namespace {

using testing::ClipboardText;
using testing::TextControlTest;

enum Held { kNone = 0, kShift = 1, kControl = 2, kAlt = 4 };

struct KeyStep {
  WPARAM key;
  int held = kNone;
};

struct KeyCase {
  const char* name;
  StringView text;
  std::size_t caret;
  std::vector<KeyStep> keys;
  StringView result;
  std::size_t anchor_after;
  std::size_t caret_after;
};

class KeyTest : public TextControlTest {
 protected:
  void Press(const KeyStep& step) {
    std::vector<int> held;
    if (step.held & kShift) held.push_back(VK_SHIFT);
    if (step.held & kControl) held.push_back(VK_CONTROL);
    if (step.held & kAlt) held.push_back(VK_MENU);
    switch (held.size()) {
      case 0: return TextControlTest::Press(step.key);
      case 1: return TextControlTest::Press(step.key, {held[0]});
      case 2: return TextControlTest::Press(step.key, {held[0], held[1]});
      default: return TextControlTest::Press(step.key, {held[0], held[1], held[2]});
    }
  }
};

// Each key reaches its command; what the commands do is the engine's.
TEST_F(KeyTest, KeysEditMoveAndRunCommandsAsExpected) {
  const KeyCase cases[] = {
      {"shift+right selects", u"abc", 0, {{VK_RIGHT, kShift}, {VK_RIGHT, kShift}}, u"abc", 0, 2},
      {"control+left by words", u"foo bar", 7, {{VK_LEFT, kControl}}, u"foo bar", 4, 4},
      {"home", u"ab\r\ncd", 5, {{VK_HOME}}, u"ab\r\ncd", 4, 4},
      {"end", u"ab\r\ncd", 4, {{VK_END}}, u"ab\r\ncd", 6, 6},
      {"control+end", u"ab\r\ncd", 0, {{VK_END, kControl}}, u"ab\r\ncd", 6, 6},
      {"down keeps the column", u"abc\r\nx\r\nabc", 2, {{VK_DOWN}, {VK_DOWN}}, u"abc\r\nx\r\nabc", 10, 10},
      {"shift+up selects a line", u"ab\r\ncd", 4, {{VK_UP, kShift}}, u"ab\r\ncd", 4, 0},
      {"page down to the last line", u"a\r\nb\r\nc", 0, {{VK_NEXT}}, u"a\r\nb\r\nc", 6, 6},
      {"shift+page up", u"a\r\nb\r\nc", 6, {{VK_PRIOR, kShift}}, u"a\r\nb\r\nc", 6, 0},
      {"backspace takes CR LF whole", u"a\r\nb", 3, {{VK_BACK}}, u"ab", 1, 1},
      {"control+backspace takes a word", u"foo bar", 7, {{VK_BACK, kControl}}, u"foo ", 4, 4},
      {"delete takes CR LF whole", u"a\r\nb", 1, {{VK_DELETE}}, u"ab", 1, 1},
      {"enter inserts CR LF", u"ab", 1, {{VK_RETURN}}, u"a\r\nb", 3, 3},
      {"a key types over the selection", u"abc", 0, {{VK_RIGHT, kShift}, {'Z'}}, u"zbc", 1, 1},
      {"control+A selects all", u"a\r\nb", 1, {{'A', kControl}}, u"a\r\nb", 0, 4},
      {"control+Z undoes typing", u"ab", 2, {{'X'}, {'Y'}, {'Z', kControl}}, u"ab", 2, 2},
      {"control+shift+Z redoes", u"ab", 2, {{'X'}, {'Z', kControl}, {'Z', kControl | kShift}}, u"abx", 3, 3},
      {"tab is not typed", u"ab", 1, {{VK_TAB}, {VK_TAB, kControl}}, u"ab", 1, 1},
      {"escape is not typed", u"ab", 1, {{VK_ESCAPE}}, u"ab", 1, 1},
      {"control and a letter types nothing", u"ab", 1, {{'B', kControl}, {'Q', kControl}}, u"ab", 1, 1},
      {"control+alt is no command", u"ab", 2, {{'X'}, {'Z', kControl | kAlt}}, u"abx", 3, 3},
  };
  for (const KeyCase& test : cases) {
    Put(test.text);
    Select(test.caret, test.caret);
    for (const KeyStep& step : test.keys) Press(step);
    EXPECT_TRUE(Get() == test.result) << test.name;
    EXPECT_EQ(Document().Anchor(), test.anchor_after) << test.name;
    EXPECT_EQ(Document().Caret(), test.caret_after) << test.name;
  }
}

TEST_F(KeyTest, ClipboardKeysCopyCutAndPasteExactText) {
  Put(u"a\rb\r\nc\nd");
  Press({'A', kControl});
  Press({VK_INSERT, kControl});
  EXPECT_TRUE(ClipboardText() == u"a\rb\r\nc\nd");
  Select(0, 2);
  Press({VK_DELETE, kShift});
  EXPECT_TRUE(ClipboardText() == u"a\r");
  EXPECT_TRUE(Get() == u"b\r\nc\nd");
  Press({VK_END, kControl});
  Press({VK_INSERT, kShift});
  EXPECT_TRUE(Get() == u"b\r\nc\nda\r");
  Select(0, 1);
  Press({'X', kControl});
  EXPECT_TRUE(Get() == u"\r\nc\nda\r");
  Press({'V', kControl});
  EXPECT_TRUE(Get() == u"b\r\nc\nda\r");
  Press({'C', kControl});  // nothing selected: the clipboard stays
  EXPECT_TRUE(ClipboardText() == u"b");
}

TEST_F(TextControlTest, TypedUnitsAreKeptAsTyped) {
  const String typed = u"a\u2028\u2029\u00A0\xD800x\U0001F600";
  Type(typed);
  SendMessageW(box_, WM_UNICHAR, 0x10348, 0);
  EXPECT_TRUE(Get() == typed + u"\U00010348");
  EXPECT_EQ(SendMessageW(box_, WM_UNICHAR, UNICODE_NOCHAR, 0), TRUE);
}

TEST_F(TextControlTest, MouseClicksDragsAndDoubleClicksPlaceTheCaretAndSelect) {
  Put(u"alpha beta\r\ngamma \rdelta");
  Mouse(WM_LBUTTONDOWN, CellPoint(2));
  Mouse(WM_LBUTTONUP, CellPoint(2));
  EXPECT_EQ(Document().Caret(), 2u);
  EXPECT_EQ(Document().Anchor(), 2u);
  Mouse(WM_LBUTTONDOWN, CellPoint(14), MK_SHIFT);
  Mouse(WM_LBUTTONUP, CellPoint(14));
  EXPECT_EQ(Document().Anchor(), 2u);
  EXPECT_EQ(Document().Caret(), 14u);

  Mouse(WM_LBUTTONDOWN, CellPoint(6));
  Mouse(WM_MOUSEMOVE, CellPoint(20), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, CellPoint(20));
  EXPECT_EQ(Document().Anchor(), 6u);
  EXPECT_EQ(Document().Caret(), 20u);
  Mouse(WM_MOUSEMOVE, CellPoint(3));  // the button is up: nothing moves
  EXPECT_EQ(Document().Caret(), 20u);

  Mouse(WM_LBUTTONDBLCLK, CellPoint(7));
  EXPECT_EQ(Document().Anchor(), 6u);
  EXPECT_EQ(Document().Caret(), 10u);
  Mouse(WM_LBUTTONDBLCLK, CellPoint(2));  // with the blank after it, as the edit control takes it
  EXPECT_EQ(SendMessageW(box_, EM_GETSEL, 0, 0), MAKELRESULT(0, 6));

  // Past the end of a line, below the last line: the nearest place there.
  Mouse(WM_LBUTTONDOWN, POINT{390, CellPoint(0).y});
  Mouse(WM_LBUTTONUP, POINT{390, CellPoint(0).y});
  EXPECT_EQ(Document().Caret(), 10u);
  Mouse(WM_LBUTTONDOWN, POINT{1, 150});
  Mouse(WM_LBUTTONUP, POINT{1, 150});
  EXPECT_EQ(Document().Caret(), 12u);
}

TEST_F(TextControlTest, DraggingBelowTheBoxScrollsAndKeepsSelecting) {
  String lines;
  for (int i = 0; i < 300; ++i) lines += u"line\r\n";
  Put(lines);
  Mouse(WM_LBUTTONDOWN, POINT{1, 1});
  RECT client{};
  GetClientRect(box_, &client);
  Mouse(WM_MOUSEMOVE, POINT{10, client.bottom + 30}, MK_LBUTTON);
  const std::size_t top = control_->TopLine();
  EXPECT_TRUE(PumpUntil([&] { return control_->TopLine() > top + 3; })) << "the view follows the mouse";
  Mouse(WM_LBUTTONUP, POINT{10, client.bottom + 30});
  EXPECT_EQ(Document().Anchor(), 0u);
  EXPECT_GT(Document().Caret(), Document().LineStart(top + 3));
}

// The menu has the edit control's texts in the user's language; its items
// are greyed and run as the engine's menu says.
TEST_F(TextControlTest, ContextMenuIsTheEditControlsInTheUsersLanguage) {
  Put(u"ab");
  Select(0, 1);
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  const UniqueMenu menu(control_->CreateContextMenu());
  std::vector<std::wstring> names;
  std::vector<bool> enabled;
  for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
    wchar_t text[64] = {};
    if (GetMenuStringW(menu.get(), static_cast<UINT>(i), text, 64, MF_BYPOSITION) == 0) continue;
    names.emplace_back(text);
    enabled.push_back((GetMenuState(menu.get(), static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) == 0);
  }
  const std::vector<std::wstring> expected =
      PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN
          ? std::vector<std::wstring>{L"&R\u00FCckg\u00E4ngig", L"&Ausschneiden", L"&Kopieren", L"E&inf\u00FCgen",
                                      L"&L\u00F6schen", L"Alles &markieren"}
          : std::vector<std::wstring>{L"&Undo", L"Cu&t", L"&Copy", L"&Paste", L"&Delete", L"Select &All"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, false, true, true})) << "nothing to undo or paste";
  control_->RunMenuCommand(WM_CUT);
  EXPECT_TRUE(Get() == u"b");
  EXPECT_TRUE(ClipboardText() == u"a");
}

TEST_F(TextControlTest, AnInputMethodsResultIsInsertedAtTheCaret) {
  Put(u"ab\r\ncd");
  Select(5, 5);
  HIMC context = ImmGetContext(box_);
  ASSERT_NE(context, nullptr);
  const std::wstring result = L"\u304B\u306A";
  ASSERT_TRUE(ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(result.c_str()),
                                       static_cast<DWORD>(result.size() * sizeof(wchar_t)), nullptr, 0));
  Pump();
  EXPECT_TRUE(Get() == u"ab\r\ncd") << "a composition is not text yet";
  COMPOSITIONFORM form{};
  ASSERT_TRUE(ImmGetCompositionWindow(context, &form));
  const POINT caret = control_->PointAt(5);
  EXPECT_EQ(form.ptCurrentPos.x, caret.x) << "the composition is shown at the caret";
  EXPECT_EQ(form.ptCurrentPos.y, caret.y);
  ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(box_, context);
  Pump();
  EXPECT_TRUE(Get() == u"ab\r\nc\u304B\u306Ad");
  EXPECT_EQ(Document().Caret(), 7u);
}

TEST_F(TextControlTest, CaretAndViewFollowToTheEndOfAMegabyteLine) {
  String line(1'000'000, u'x');
  line += u"\r\nshort";
  Put(line);
  Select(0, 0);
  Press(VK_END);
  EXPECT_EQ(Document().Caret(), 1'000'000u);
  RECT client{};
  GetClientRect(box_, &client);
  POINT caret{};
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_GE(caret.x, 0);
  EXPECT_LE(caret.x, client.right) << "the caret is scrolled into view";
  EXPECT_GT(ScrollPosition(SB_HORZ), 0);
  EXPECT_EQ(control_->Left(), ScrollPosition(SB_HORZ));
  Type(u"yz");
  EXPECT_TRUE(Get().substr(999'999, 5) == u"xyz\r\n");
  Press(VK_DOWN);
  EXPECT_EQ(Document().Caret(), Get().size());
  Press(VK_HOME, {VK_CONTROL});
  EXPECT_EQ(ScrollPosition(SB_HORZ), 0);
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, TextControl::kMargin);
}

TEST_F(TextControlTest, WheelAndScrollBarsMoveTheView) {
  String lines;
  for (int i = 0; i < 200; ++i) lines += u"line\r\n";
  Put(lines);
  RECT client{};
  GetClientRect(box_, &client);
  const int visible = client.bottom / control_->LineHeight();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(box_, SB_VERT, &info));
  EXPECT_EQ(info.nMax, 200) << "201 lines";
  EXPECT_EQ(info.nPage, static_cast<UINT>(visible));
  UINT per_notch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &per_notch, 0);
  SendMessageW(box_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(50, 50));
  EXPECT_EQ(control_->TopLine(), per_notch);
  EXPECT_EQ(ScrollPosition(SB_VERT), static_cast<int>(per_notch));
  SendMessageW(box_, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(control_->TopLine(), per_notch + static_cast<std::size_t>(visible));
  SendMessageW(box_, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(control_->TopLine(), static_cast<std::size_t>(201 - visible));
  EXPECT_EQ(control_->PositionAt(POINT{1, 1}), 6u * static_cast<std::size_t>(201 - visible));

  Put(String(1000, u'w'));
  SendMessageW(box_, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), MAKELPARAM(50, 50));
  EXPECT_GT(control_->Left(), 0) << "Shift turns the wheel sideways";
  SendMessageW(box_, WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_EQ(control_->PositionAt(POINT{client.right - 1, 1}), 1000u);
  SendMessageW(box_, WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_LT(control_->PositionAt(POINT{client.right - 1, 1}), 1000u);
}

TEST_F(TextControlTest, TheCaretIsShownOnlyWhileTheBoxHasTheFocus) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &gui));
  EXPECT_EQ(gui.hwndCaret, box_);
  SetFocus(parent_.get());
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &gui));
  EXPECT_NE(gui.hwndCaret, box_);
}

// As the edit control: hidden while the focus is elsewhere, unless the
// style asks to keep it.
TEST_F(TextControlTest, SelectionIsHighlightedWithTheFocusOrWhenAskedToStay) {
  Put(u"MMMMMMMM");
  Select(2, 6);
  RECT client{};
  GetClientRect(box_, &client);
  const MemoryDc dc;
  HDC screen = GetDC(nullptr);
  const UniqueBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
  ReleaseDC(nullptr, screen);
  const Selected in(dc.Get(), bitmap.get());
  auto pixel = [&](int x) {
    SendMessageW(box_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    return GetPixel(dc.Get(), x, 1);
  };
  const int inside = CellPoint(3).x;
  EXPECT_EQ(pixel(inside), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(pixel(CellPoint(7).x + 4), GetSysColor(COLOR_WINDOW));
  SetFocus(parent_.get());
  EXPECT_EQ(pixel(inside), GetSysColor(COLOR_WINDOW));
  SetWindowLongW(box_, GWL_STYLE, GetWindowLongW(box_, GWL_STYLE) | ES_NOHIDESEL);
  EXPECT_EQ(pixel(inside), GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace host::win32
