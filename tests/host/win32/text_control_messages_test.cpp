// The messages other programs and assistive technology send a text box,
// with the meaning an edit control gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/win32/text_control_fixture.h"

namespace host::win32 {
namespace {

using testing::ClipboardText;
using testing::PutClipboard;
using testing::TextControlTest;

String Megabyte() {
  String text;
  while (text.size() < (1u << 20)) text += u"{\"k\":[1,2],\r\n\t\"\U0001F600\":\"x\"}\r";
  return text;
}

struct ExactCase {
  const char* name;
  String text;
  LRESULT lines;
};

TEST_F(TextControlTest, SetTextAndGetTextKeepEveryUnit) {
  const ExactCase cases[] = {
      {"empty", u"", 1},
      {"lone CR and LF", u"a\rb\nc", 1},
      {"CR LF", u"a\r\nb\r\n", 3},
      {"LF CR", u"a\n\rb", 1},
      {"separators", u"a\u2028b\u2029c", 1},
      {"pair", u"\U0001F600\U00010348", 1},
      {"lone halves", String{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}}, 1},
      {"non-characters", u"\uFEFF\uFFFE\uFFFF", 1},
      {"a megabyte", Megabyte(), 0},
  };
  for (const ExactCase& test : cases) {
    Put(test.text);
    EXPECT_TRUE(Get() == test.text) << test.name;
    EXPECT_EQ(SendMessageW(box_, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(test.text.size())) << test.name;
    if (test.lines != 0) {
      EXPECT_EQ(SendMessageW(box_, EM_GETLINECOUNT, 0, 0), test.lines) << test.name;
    }
  }
}

TEST_F(TextControlTest, GetTextFillsOnlyTheBufferGiven) {
  Put(u"abcdef");
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(SendMessageW(box_, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_EQ(std::wstring(buffer), L"abc");
  buffer[0] = L'x';
  EXPECT_EQ(SendMessageW(box_, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], L'x');
}

struct SelectionCase {
  const char* name;
  int start;
  int end;
  DWORD begin_after;
  DWORD end_after;
  std::size_t caret_after;
};

TEST_F(TextControlTest, SetSelIsReadBackByGetSel) {
  // a b CR LF c d and a pair: 8 units.
  const SelectionCase cases[] = {
      {"all", 0, -1, 0, 8, 8},
      {"a range", 1, 5, 1, 5, 5},
      {"a start of -1 only drops the selection", -1, 0, 5, 5, 5},
      {"backwards: the caret at the end given", 5, 1, 1, 5, 1},
      {"inside CR LF", 3, 3, 2, 2, 2},
      {"inside the pair", 7, 7, 6, 6, 6},
      {"past the end", 100, 200, 8, 8, 8},
  };
  Put(u"ab\r\ncd\U0001F600");
  for (const SelectionCase& test : cases) {
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(test.start), static_cast<LPARAM>(test.end));
    DWORD begin = 99, end = 99;
    const LRESULT packed = SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&begin), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(begin, test.begin_after) << test.name;
    EXPECT_EQ(end, test.end_after) << test.name;
    EXPECT_EQ(packed, MAKELRESULT(test.begin_after, test.end_after)) << test.name;
    EXPECT_EQ(Document().Caret(), test.caret_after) << test.name;
  }
}

TEST_F(TextControlTest, ReplaceSelIsOneUndoableEdit) {
  Put(u"one two");
  Select(4, 7);
  const String inserted = u"2\r\n\u2029";
  SendMessageW(box_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
  EXPECT_TRUE(Get() == u"one 2\r\n\u2029");
  DWORD begin = 0, end = 0;
  SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&begin), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(begin, 8u);
  EXPECT_EQ(end, 8u);
  ASSERT_TRUE(SendMessageW(box_, EM_CANUNDO, 0, 0));
  EXPECT_TRUE(SendMessageW(box_, EM_UNDO, 0, 0));
  EXPECT_TRUE(Get() == u"one two");
  SendMessageW(box_, WM_UNDO, 0, 0);
  EXPECT_TRUE(Get() == u"one two") << "a text set is no step: it empties the history";
  EXPECT_FALSE(SendMessageW(box_, EM_CANUNDO, 0, 0));
}

struct LineCase {
  UINT message;
  int argument;
  LRESULT expected;
};

TEST_F(TextControlTest, LineMessagesCountOnlyCrLfAsABreak) {
  // Lines start at 0, 4 and 8; the lone CR at 4 is part of line 1.
  Put(u"ab\r\n\rx\r\nxyz");
  const LineCase cases[] = {
      {EM_LINEINDEX, 0, 0},     {EM_LINEINDEX, 1, 4},     {EM_LINEINDEX, 2, 8},
      {EM_LINEINDEX, 3, -1},    {EM_LINEFROMCHAR, 0, 0},  {EM_LINEFROMCHAR, 2, 0},
      {EM_LINEFROMCHAR, 3, 0},  {EM_LINEFROMCHAR, 4, 1},  {EM_LINEFROMCHAR, 6, 1},
      {EM_LINEFROMCHAR, 8, 2},  {EM_LINEFROMCHAR, 99, 2}, {EM_LINELENGTH, 0, 2},
      {EM_LINELENGTH, 5, 2},    {EM_LINELENGTH, 9, 3},
  };
  EXPECT_EQ(SendMessageW(box_, EM_GETLINECOUNT, 0, 0), 3);
  for (const LineCase& test : cases) {
    EXPECT_EQ(SendMessageW(box_, test.message, static_cast<WPARAM>(test.argument), 0), test.expected)
        << std::hex << test.message << std::dec << " " << test.argument;
  }
  Select(5, 5);
  EXPECT_EQ(SendMessageW(box_, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1) << "the caret's line";
  EXPECT_EQ(SendMessageW(box_, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 4);
}

TEST_F(TextControlTest, ALimitIsAcceptedAndLimitsNothing) {
  SendMessageW(box_, EM_SETLIMITTEXT, 3, 0);
  EXPECT_GE(static_cast<std::uint32_t>(SendMessageW(box_, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
  Type(u"abcdefgh");
  EXPECT_TRUE(Get() == u"abcdefgh");
}

TEST_F(TextControlTest, CopyAndCutPutTheSelectedUnitsOnTheClipboardExactly) {
  const String text = u"x{\r\n\"a\":1\r}\u2029\U0001F600\ty";
  Put(text);
  Select(1, static_cast<std::size_t>(text.size()) - 1);
  SendMessageW(box_, WM_COPY, 0, 0);
  EXPECT_TRUE(ClipboardText() == text.substr(1, text.size() - 2)) << "CR LF stays CR LF";
  Select(0, 2);
  SendMessageW(box_, WM_CUT, 0, 0);
  EXPECT_TRUE(ClipboardText() == u"x{");
  EXPECT_TRUE(Get() == text.substr(2));
  Select(0, 0);
  SendMessageW(box_, WM_COPY, 0, 0);
  EXPECT_TRUE(ClipboardText() == u"x{") << "nothing selected: the clipboard stays";
}

struct PasteCase {
  const char* name;
  String clipboard;
  String stored;
};

TEST_F(TextControlTest, PasteKeepsTheClipboardsTextAsItIs) {
  const PasteCase cases[] = {
      {"LF stays LF", u"a\nb", u"a\nb"},
      {"lone CR", u"a\rb", u"a\rb"},
      {"CR LF", u"a\r\nb", u"a\r\nb"},
      {"separators and pairs", u"\u2029\U0001F600\u00A0", u"\u2029\U0001F600\u00A0"},
  };
  for (const PasteCase& test : cases) {
    Put(u"[]");
    Select(1, 1);
    ASSERT_TRUE(PutClipboard(test.clipboard));
    SendMessageW(box_, WM_PASTE, 0, 0);
    EXPECT_TRUE(Get() == u"[" + test.stored + u"]") << test.name;
    EXPECT_EQ(Document().Caret(), 1 + test.stored.size()) << test.name;
  }
}

// Beside the system's edit control of the same size and style (without the
// sunken edge, inside which it keeps one more pixel), given the box's
// margins and a height of whole lines, as it rounds its rectangle down.
TEST_F(TextControlTest, GetRectAnswersTheTextAreaAndSetRectLaysTheTextOutThere) {
  HWND boxes[2] = {};
  for (int i = 0; i < 2; ++i) {
    boxes[i] = CreateWindowExW(0, i == 0 ? kTextControlClass : L"EDIT", L"alpha beta", WS_CHILD | ES_MULTILINE, 0,
                               0, 240, 5 * control_->LineHeight(), parent_.get(), nullptr, nullptr, nullptr);
    SendMessageW(boxes[i], WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  auto same = [&](UINT message, WPARAM position) {
    RECT rects[2] = {};
    LRESULT answers[2] = {};
    for (int i = 0; i < 2; ++i) {
      answers[i] = SendMessageW(boxes[i], message, position, reinterpret_cast<LPARAM>(&rects[i]));
    }
    return answers[0] == answers[1] && EqualRect(&rects[0], &rects[1]);
  };
  constexpr int kMargin = TextControl::kMargin;
  SendMessageW(boxes[1], EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(kMargin, kMargin));
  EXPECT_TRUE(same(EM_GETRECT, 0));
  SendMessageW(boxes[1], EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  const RECT area{20, 9, 150, 9 + 2 * control_->LineHeight()};
  for (HWND box : boxes) SendMessageW(box, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
  EXPECT_TRUE(same(EM_GETRECT, 0));
  EXPECT_TRUE(same(EM_POSFROMCHAR, 0));
  EXPECT_TRUE(same(EM_POSFROMCHAR, 7));
}

// A program that offers a text on the clipboard and makes it only when it
// is asked for, from a thread of its own. Asked, it first types a key into
// the box and waits for the box to take it: a box whose thread is held by
// the read would take the key only after the text had come.
class LateClipboardOwner {
 public:
  LateClipboardOwner(HWND box, StringView text, char16_t key) : box_(box), key_(key) {
    data_ = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    auto* units = static_cast<char16_t*>(GlobalLock(data_));
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = u'\0';
    GlobalUnlock(data_);
    std::promise<bool> offered;
    offered_ = offered.get_future();
    thread_ = std::jthread([this, offered = std::move(offered)]() mutable { Run(offered); });
  }
  ~LateClipboardOwner() {
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
    if (data_ != nullptr) GlobalFree(data_);
  }
  bool Offered() { return offered_.get(); }
  bool TypedWhileAsked() const { return typed_while_asked_; }

 private:
  void Run(std::promise<bool>& offered) {
    thread_id_ = GetCurrentThreadId();
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    WNDCLASSEXW owner_class{};
    owner_class.cbSize = sizeof owner_class;
    owner_class.lpfnWndProc = &Proc;
    owner_class.lpszClassName = L"QuillfenLateOwner";
    RegisterClassExW(&owner_class);
    HWND window = CreateWindowExW(0, owner_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const bool open = OpenClipboard(window) != FALSE;
    offered.set_value(open && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, nullptr) == nullptr &&
                      CloseClipboard());
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<LateClipboardOwner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_RENDERFORMAT || self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    PostMessageW(self->box_, WM_CHAR, self->key_, 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    DWORD_PTR length = 0;
    // Every question must be answered well within the cap.
    while (SendMessageTimeoutW(self->box_, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      if (length == 5) {
        self->typed_while_asked_ = true;
        break;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    if (SetClipboardData(CF_UNICODETEXT, self->data_) != nullptr) self->data_ = nullptr;
    return 0;
  }

  HWND box_;
  char16_t key_;
  HGLOBAL data_;
  std::future<bool> offered_;
  DWORD thread_id_ = 0;
  bool typed_while_asked_ = false;
  std::jthread thread_;
};

class RefusedPasteTest : public TextControlTest {
 protected:
  // Reads and closes a message the box's window shows, as a user would.
  static void CALLBACK CloseMessage(HWND parent, UINT, UINT_PTR, DWORD) {
    HWND message = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
    if (message == nullptr || GetWindow(message, GW_OWNER) != parent) return;
    auto* self = reinterpret_cast<RefusedPasteTest*>(GetWindowLongPtrW(parent, GWLP_USERDATA));
    for (HWND child = GetWindow(message, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t text[256] = {};
      self->shown_.append(text, static_cast<std::size_t>(GetWindowTextW(child, text, 256)));
    }
    SendMessageW(message, WM_COMMAND, IDOK, 0);
  }
  std::wstring shown_;
};

TEST_F(RefusedPasteTest, APasteMemoryCannotHoldIsToldWithItsSizeAndTheWindowAnswersMeanwhile) {
  Put(u"kept");
  Select(4, 4);
  const String clipboard(std::size_t{8} << 20, u'x');  // 16 MB
  LateClipboardOwner owner(box_, clipboard, u'z');
  ASSERT_TRUE(owner.Offered());
  notifications_.clear();
  notifications_.reserve(16);  // what the test notes while memory is short
  shown_.reserve(4096);
  SetTimer(parent_.get(), 1, 50, &CloseMessage);
  {
    // The memory taken, untouched, until no block of 8 MB is left.
    std::vector<void*> taken;
    taken.reserve(4096);
    for (std::size_t size = std::size_t{1} << 30; size >= (std::size_t{8} << 20); size /= 2) {
      while (void* block = std::malloc(size)) taken.push_back(block);
    }
    SendMessageW(box_, WM_PASTE, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return !shown_.empty(); }));
    for (void* block : taken) std::free(block);
  }
  KillTimer(parent_.get(), 1);
  EXPECT_TRUE(owner.TypedWhileAsked());
  EXPECT_TRUE(Get() == u"keptz");
  EXPECT_EQ(std::count(notifications_.begin(), notifications_.end(), EN_ERRSPACE), 1);
  EXPECT_NE(shown_.find(L"16.0 MB"), std::wstring::npos);
  SendMessageW(box_, WM_PASTE, 0, 0);  // with memory to spare
  EXPECT_TRUE(PumpUntil([this, &clipboard] { return Get() == u"keptz" + clipboard; }));
}

TEST_F(TextControlTest, ClearDeletesTheSelectionAndLeavesTheClipboard) {
  ASSERT_TRUE(PutClipboard(u"kept"));
  Put(u"abcd");
  Select(1, 3);
  SendMessageW(box_, WM_CLEAR, 0, 0);
  EXPECT_TRUE(Get() == u"ad");
  EXPECT_TRUE(ClipboardText() == u"kept");
}

TEST_F(TextControlTest, TheParentHearsOfEditsButNotOfSetText) {
  notifications_.clear();
  Put(u"abc");
  EXPECT_TRUE(notifications_.empty());
  Type(u"x");
  Press(VK_BACK);
  ASSERT_TRUE(PutClipboard(u"y"));
  SendMessageW(box_, WM_PASTE, 0, 0);
  SendMessageW(box_, EM_UNDO, 0, 0);
  EXPECT_EQ(notifications_, (std::vector<WORD>{EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_CHANGE}));
  notifications_.clear();
  Select(0, 1);  // a move is no change
  SetFocus(parent_.get());
  SetFocus(box_);
  EXPECT_EQ(notifications_, (std::vector<WORD>{EN_KILLFOCUS, EN_SETFOCUS}));
}

TEST_F(TextControlTest, AsksTheDialogManagerForCharactersArrowsAndEnterButNotTab) {
  const LRESULT plain = SendMessageW(box_, WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(plain & (DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL),
            DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL);
  EXPECT_EQ(plain & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE), 0);
  MSG enter{.hwnd = box_, .message = WM_KEYDOWN, .wParam = VK_RETURN, .lParam = 1, .time = 0, .pt = {}};
  EXPECT_NE(SendMessageW(box_, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE, 0);
  for (const WPARAM key : {WPARAM{VK_TAB}, WPARAM{VK_ESCAPE}}) {
    MSG press{.hwnd = box_, .message = WM_KEYDOWN, .wParam = key, .lParam = 1, .time = 0, .pt = {}};
    EXPECT_EQ(SendMessageW(box_, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&press)) &
                  (DLGC_WANTMESSAGE | DLGC_WANTTAB | DLGC_WANTALLKEYS),
              0)
        << key;
  }
}

TEST_F(TextControlTest, AccessibilityClientsSeeAnEditableTextWithItsValue) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  Put(u"ab\r\ncd\u2029");
  IAccessible* accessible = nullptr;
  ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(box_, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                   reinterpret_cast<void**>(&accessible))));
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  ASSERT_TRUE(SUCCEEDED(accessible->get_accRole(self, &role)));
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
  BSTR value = nullptr;
  ASSERT_TRUE(SUCCEEDED(accessible->get_accValue(self, &value)));
  EXPECT_EQ(std::wstring(value, SysStringLen(value)), L"ab\r\ncd\u2029");
  SysFreeString(value);
  accessible->Release();
  CoUninitialize();
}

}  // namespace
}  // namespace host::win32
