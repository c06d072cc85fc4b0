// The text box beside the system's own edit control of the same size and
// style, in the same parent: where a user or a program would meet both,
// the edit control's answer is the expected one.
#include <gtest/gtest.h>

#include "tests/host/win32/text_control_fixture.h"

namespace host::win32 {
namespace {

constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE;

class BesideEditTest : public testing::TextControlTest {
 protected:
  // Our box and the edit control, both of `style`, the font set in each.
  std::pair<HWND, HWND> Pair(DWORD style, DWORD extended = WS_EX_CLIENTEDGE) {
    HWND ours = CreateWindowExW(extended, kTextControlClass, L"", style, 0, 0, 240, 120, parent_.get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    HWND edit = CreateWindowExW(extended, L"EDIT", L"", style, 250, 0, 240, 120, parent_.get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (HWND box : {ours, edit}) {
      SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    return {ours, edit};
  }

  // Pixels of the highlight colour as the box paints itself.
  static int HighlightPixels(HWND box) {
    RECT client{};
    GetClientRect(box, &client);
    const MemoryDc dc;
    HDC screen = GetDC(nullptr);
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    ReleaseDC(nullptr, screen);
    const Selected in(dc.Get(), bitmap.get());
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    int count = 0;
    for (int y = 0; y < client.bottom; y += 2) {
      for (int x = 0; x < client.right; x += 2) count += GetPixel(dc.Get(), x, y) == GetSysColor(COLOR_HIGHLIGHT);
    }
    return count;
  }
};

TEST_F(BesideEditTest, SelectionIsHiddenWithoutTheFocusUnlessTheStyleKeepsIt) {
  for (const DWORD style : {kStyle, kStyle | ES_NOHIDESEL}) {
    const auto [ours, edit] = Pair(style);
    for (HWND box : {ours, edit}) {
      SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"MMMMMMMM"));
      SendMessageW(box, EM_SETSEL, 2, 6);
    }
    SetFocus(ours);
    EXPECT_GT(HighlightPixels(ours), 0);  // with the focus
    SetFocus(parent_.get());
    Pump();
    EXPECT_EQ(HighlightPixels(ours) > 0, HighlightPixels(edit) > 0) << "ES_NOHIDESEL: " << (style != kStyle);
    DestroyWindow(ours);
    DestroyWindow(edit);
  }
}

TEST_F(BesideEditTest, GetRectAnswersTheTextAreaAndSetRectLaysTheTextOutThere) {
  // Without the sunken edge, inside which the edit control keeps one more
  // pixel on each side.
  const auto [ours, edit] = Pair(kStyle, 0);
  // The edit control given our margins, and both a whole number of lines
  // high, as the edit control rounds its rectangle down to whole lines.
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELONG(TextControl::kMargin, TextControl::kMargin));
  const int lines_high = 5 * TextControl::From(ours)->LineHeight();
  for (HWND box : {ours, edit}) {
    RECT client{};
    RECT window{};
    GetClientRect(box, &client);
    GetWindowRect(box, &window);
    SetWindowPos(box, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top - client.bottom + lines_high, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"alpha\r\nbeta"));
  }
  RECT client{};
  GetClientRect(ours, &client);
  RECT got{};
  RECT expected{};
  SendMessageW(ours, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&expected));
  EXPECT_TRUE(EqualRect(&got, &expected)) << got.left << ' ' << got.top << ' ' << got.right << ' ' << got.bottom;
  EXPECT_EQ(got.right - got.left, client.right - 2 * TextControl::kMargin);

  // A rectangle set by another program: the text starts at its corner.
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  const RECT area{20, 9, 150, 9 + 2 * TextControl::From(ours)->LineHeight()};
  for (HWND box : {ours, edit}) SendMessageW(box, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
  SendMessageW(ours, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&expected));
  EXPECT_TRUE(EqualRect(&got, &expected)) << got.left << ' ' << got.top << ' ' << got.right << ' ' << got.bottom;
  for (const WPARAM position : {0, 7}) {
    EXPECT_EQ(SendMessageW(ours, EM_POSFROMCHAR, position, 0), SendMessageW(edit, EM_POSFROMCHAR, position, 0))
        << position;
  }
}

TEST_F(BesideEditTest, DoubleClickSelectsTheWordAndTheBlanksAfterIt) {
  const auto [ours, edit] = Pair(kStyle);
  for (HWND box : {ours, edit}) {
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"alpha beta"));
    const auto at = static_cast<LPARAM>(SendMessageW(box, EM_POSFROMCHAR, 2, 0));
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(box, WM_LBUTTONUP, 0, at);
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(box, WM_LBUTTONUP, 0, at);
  }
  DWORD begin = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&begin), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(SendMessageW(ours, EM_GETSEL, 0, 0), MAKELRESULT(begin, end));
  EXPECT_EQ(end, 6u) << "\"alpha \"";
}

}  // namespace
}  // namespace host::win32
