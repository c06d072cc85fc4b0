#include <string>

#include "text_control_fixture.h"

namespace host::win32::testing {
namespace {

struct Heard {
  DWORD event;
  HWND window;
  LONG object;
};

class TextControlAccessibleTest : public TextControlTest {
 protected:
  HWND Child(const wchar_t* window_class, const wchar_t* text, RECT at, DWORD style = SS_LEFT) {
    return CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right,
                           at.bottom, parent_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static std::wstring Read(HWND window, LONG object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, object, IID_IAccessible, reinterpret_cast<void**>(&accessible)))) {
      return L"(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result = (accessible->*get)(self, &text);
    std::wstring read = result == S_OK ? std::wstring(text, SysStringLen(text)) : L"(failed)";
    SysFreeString(text);
    accessible->Release();
    return read;
  }
  // A WinEventProc is given nothing of ours to find the test by.
  static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
    heard_.push_back({event, window, object});
  }
  static inline std::vector<Heard> heard_;
};

TEST_F(TextControlAccessibleTest, EachBoxIsNamedByTheLabelOverItAndValuedByItsText) {
  const HWND second = Child(kTextControlClass, L"", {0, 250, 400, 40}, ES_MULTILINE);
  Child(WC_STATICW, L"First caption", {10, 0, 100, 20});
  Child(WC_STATICW, L"Second caption", {10, 230, 100, 20});
  Put(u"{\"a\":1}");
  SendMessageW(second, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"b"));
  const struct {
    HWND box;
    std::wstring name, value;
  } cases[] = {{box_, L"First caption", L"{\"a\":1}"}, {second, L"Second caption", L"b"}};
  for (const auto& expected : cases) {
    EXPECT_EQ(Read(expected.box, OBJID_CLIENT, &IAccessible::get_accName), expected.name);
    EXPECT_EQ(Read(expected.box, OBJID_CLIENT, &IAccessible::get_accValue), expected.value);
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(expected.box, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&accessible)), S_OK);
    VARIANT self{}, role{};
    self.vt = VT_I4;
    EXPECT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    accessible->Release();
  }
}

TEST_F(TextControlAccessibleTest, AHugeValueIsCutShortSayingSo) {
  const String text(3'000'000, u'x');
  Put(text);
  const std::wstring value = Read(box_, OBJID_CLIENT, &IAccessible::get_accValue);
  EXPECT_LT(value.size(), text.size());
  EXPECT_EQ(value.substr(0, 1000), std::wstring(1000, L'x'));
  EXPECT_NE(value.find(L" more characters"), std::wstring::npos) << value.substr(value.size() - 40);
}

TEST_F(TextControlAccessibleTest, EditsAndCaretMovesAreHeard) {
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Hear, GetCurrentProcessId(), 0,
                                             WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  heard_.clear();
  Type(u"ab");
  Select(0, 1);
  auto heard = [this](DWORD event, LONG object) {
    return std::any_of(heard_.begin(), heard_.end(),
                       [&](const Heard& h) { return h.event == event && h.window == box_ && h.object == object; });
  };
  EXPECT_TRUE(PumpUntil([&] { return heard(EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT); }));
  EXPECT_TRUE(PumpUntil([&] { return heard(EVENT_OBJECT_TEXTSELECTIONCHANGED, OBJID_CLIENT); }));
  EXPECT_TRUE(PumpUntil([&] { return heard(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET); }));
  UnhookWinEvent(hook);

  IAccessible* caret = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(box_, OBJID_CARET, IID_IAccessible, reinterpret_cast<void**>(&caret)), S_OK);
  VARIANT self{};
  self.vt = VT_I4;
  long left = -1, top = -1, width = -1, height = -1;
  EXPECT_EQ(caret->accLocation(&left, &top, &width, &height, self), S_OK);
  caret->Release();
  POINT expected = control_->PointAt(1);
  ClientToScreen(box_, &expected);
  EXPECT_EQ(std::pair(left, top), std::pair(expected.x, expected.y));
  EXPECT_EQ(height, control_->LineHeight());
}

}  // namespace
}  // namespace host::win32::testing
