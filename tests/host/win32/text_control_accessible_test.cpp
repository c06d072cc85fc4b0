#include <string>
#include <tuple>

#include "text_control_fixture.h"

namespace host::win32::testing {
namespace {

class TextControlAccessibleTest : public TextControlTest {
 protected:
  HWND Child(const wchar_t* window_class, const wchar_t* text, RECT at, DWORD style = SS_LEFT) {
    return CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right,
                           at.bottom, parent_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  // The object a reader gets for `object` of `window`; released by the test.
  static IAccessible* Object(HWND window, LONG object) {
    IAccessible* accessible = nullptr;
    AccessibleObjectFromWindow(window, object, IID_IAccessible, reinterpret_cast<void**>(&accessible));
    return accessible;
  }
  static VARIANT Self() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
  }
  static std::wstring Text(HWND window, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    IAccessible* accessible = Object(window, OBJID_CLIENT);
    if (accessible == nullptr) return L"(no object)";
    BSTR text = nullptr;
    std::wstring read = (accessible->*get)(Self(), &text) == S_OK ? std::wstring(text, SysStringLen(text)) : L"?";
    SysFreeString(text);
    accessible->Release();
    return read;
  }
  // A WinEventProc is given nothing of ours to find the test by.
  static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
    heard_.push_back({event, window, object});
  }
  static inline std::vector<std::tuple<DWORD, HWND, LONG>> heard_;
};

TEST_F(TextControlAccessibleTest, BoxesAreNamedByTheLabelOverThemAndValuedByTheirText) {
  const HWND second = Child(kTextControlClass, L"", {0, 250, 400, 40}, ES_MULTILINE);
  Child(WC_STATICW, L"First caption", {10, 0, 100, 20});
  Child(WC_STATICW, L"Second caption", {10, 230, 100, 20});
  Put(u"{\"a\":1}");
  const std::wstring huge(3'000'000, L'x');
  SendMessageW(second, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(huge.c_str()));
  for (const auto& [box, name] : {std::pair(box_, L"First caption"), std::pair(second, L"Second caption")}) {
    EXPECT_EQ(Text(box, &IAccessible::get_accName), name);
    IAccessible* accessible = Object(box, OBJID_CLIENT);
    ASSERT_NE(accessible, nullptr);
    VARIANT role{};
    EXPECT_EQ(accessible->get_accRole(Self(), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    accessible->Release();
  }
  EXPECT_EQ(Text(box_, &IAccessible::get_accValue), L"{\"a\":1}");
  // A huge text is cut short, saying so.
  const std::wstring cut = Text(second, &IAccessible::get_accValue);
  EXPECT_TRUE(cut.starts_with(L"xxxx") && cut.size() < huge.size() && cut.ends_with(L" more characters)"))
      << cut.size();
}

TEST_F(TextControlAccessibleTest, EditsAndTheCaretAreHeardAndTheCaretIsFound) {
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Hear, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  heard_.clear();
  Type(u"ab");
  Select(0, 1);
  for (const auto& [event, object] : {std::pair<DWORD, LONG>(EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT),
                                      std::pair<DWORD, LONG>(EVENT_OBJECT_TEXTSELECTIONCHANGED, OBJID_CLIENT),
                                      std::pair<DWORD, LONG>(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET)}) {
    EXPECT_TRUE(PumpUntil([&] { return std::ranges::count(heard_, std::tuple(event, box_, object)) > 0; })) << event;
  }
  UnhookWinEvent(hook);
  IAccessible* caret = Object(box_, OBJID_CARET);
  ASSERT_NE(caret, nullptr);
  long left = -1, top = -1, width = -1, height = -1;
  EXPECT_EQ(caret->accLocation(&left, &top, &width, &height, Self()), S_OK);
  caret->Release();
  POINT expected = control_->PointAt(1);
  ClientToScreen(box_, &expected);
  EXPECT_EQ(std::tuple(left, top, height), std::tuple(expected.x, expected.y, control_->LineHeight()));
}

}  // namespace
}  // namespace host::win32::testing
