// The box as UI Automation's clients read it: the element and its text
// pattern, walked in-process as a reader walks them, and what the system's
// own client side can reach through the window.
#include "host/win32/text_automation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "host/win32/handles.h"
#include "tests/host/win32/text_control_fixture.h"

namespace host::win32::testing {
namespace {

using automation::Endpoint;
using automation::TextUnit;

// Releases a COM reference at the end of a scope.
template <typename Interface>
struct Held {
  Interface* object = nullptr;
  ~Held() {
    if (object != nullptr) object->Release();
  }
  Interface* operator->() const { return object; }
};

class TextAutomationTest : public TextControlTest {
 protected:
  // The text pattern of the box's element, as a client gets it.
  ITextProvider* Pattern() {
    Held<IRawElementProviderSimple> element{CreateTextAutomation(box_)};
    Held<IUnknown> pattern;
    if (element.object == nullptr || element->GetPatternProvider(automation::kTextPattern, &pattern.object) != S_OK ||
        pattern.object == nullptr) {
      return nullptr;
    }
    ITextProvider* text = nullptr;
    pattern->QueryInterface(__uuidof(ITextProvider), reinterpret_cast<void**>(&text));
    return text;
  }
  static std::wstring Read(ITextRangeProvider* range, int most = -1) {
    BSTR text = nullptr;
    if (range->GetText(most, &text) != S_OK) return L"(no text)";
    std::wstring read(text, SysStringLen(text));
    SysFreeString(text);
    return read;
  }
  // What a reader hears going from the text's start by `unit`, a unit at a time.
  std::vector<std::wstring> Walk(TextUnit unit) {
    Held<ITextProvider> pattern{Pattern()};
    Held<ITextRangeProvider> range;
    if (pattern.object == nullptr || pattern->get_DocumentRange(&range.object) != S_OK) return {};
    range->MoveEndpointByRange(Endpoint::kEnd, range.object, Endpoint::kStart);
    range->ExpandToEnclosingUnit(unit);
    std::vector<std::wstring> heard{Read(range.object)};
    int moved = 0;
    while (range->Move(unit, 1, &moved) == S_OK && moved == 1) heard.push_back(Read(range.object));
    return heard;
  }
  ComApartment com_;
};

TEST_F(TextAutomationTest, AReaderWalksTheTextByLineAndByWord) {
  Put(u"alpha beta,\r\n  gamma delta\r\nlast line");
  EXPECT_EQ(Walk(TextUnit::kLine), (std::vector<std::wstring>{L"alpha beta,\r\n", L"  gamma delta\r\n", L"last line"}));
  EXPECT_EQ(Walk(TextUnit::kParagraph), Walk(TextUnit::kLine));
  EXPECT_EQ(Walk(TextUnit::kWord), (std::vector<std::wstring>{L"alpha ", L"beta", L",", L"\r\n", L"  ", L"gamma ",
                                                              L"delta", L"\r\n", L"last ", L"line"}));
  EXPECT_EQ(Walk(TextUnit::kDocument), (std::vector<std::wstring>{L"alpha beta,\r\n  gamma delta\r\nlast line"}));
}

TEST_F(TextAutomationTest, RangesOutliveEditsAndNeverCopyMoreThanAsked) {
  Put(String(std::size_t{50} << 20, u'x'));  // 100 MB
  Held<ITextProvider> pattern{Pattern()};
  ASSERT_NE(pattern.object, nullptr);
  Held<ITextRangeProvider> range;
  ASSERT_EQ(pattern->get_DocumentRange(&range.object), S_OK);
  EXPECT_EQ(Read(range.object, 4), L"xxxx");
  EXPECT_LT(Read(range.object).size(), std::size_t{50} << 20);
  Put(u"ab\U0001F600");
  EXPECT_EQ(Read(range.object), L"ab\U0001F600");
  int moved = 0;
  EXPECT_EQ(range->MoveEndpointByUnit(Endpoint::kEnd, TextUnit::kCharacter, -1, &moved), S_OK);
  EXPECT_EQ(Read(range.object), L"ab");
  EXPECT_EQ(range->Select(), S_OK);
  EXPECT_EQ(Document().Selection().end, 2u);
}

// A client of its own thread, as a reader is of its own process, while the
// box's thread goes on serving: the system's client side finds the element
// through the window. (Its text pattern is walked above in-process, as not
// every system's client side reaches text patterns.)
TEST_F(TextAutomationTest, TheSystemsClientFindsAnEditThroughTheWindow) {
  HMODULE library = LoadLibraryW(L"uiautomationcore.dll");
  ASSERT_NE(library, nullptr);
  using NodeFromHandle = HRESULT(WINAPI*)(HWND, void**);
  using PropertyValue = HRESULT(WINAPI*)(void*, PROPERTYID, VARIANT*);
  using NodeRelease = BOOL(WINAPI*)(void*);
  const auto node_from_handle = reinterpret_cast<NodeFromHandle>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "UiaNodeFromHandle")));
  const auto property_value = reinterpret_cast<PropertyValue>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "UiaGetPropertyValue")));
  const auto node_release =
      reinterpret_cast<NodeRelease>(reinterpret_cast<void (*)()>(GetProcAddress(library, "UiaNodeRelease")));
  ASSERT_TRUE(node_from_handle != nullptr && property_value != nullptr && node_release != nullptr);
  std::atomic<bool> done = false;
  LONG control_type = 0;
  std::jthread client([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    void* node = nullptr;
    if (node_from_handle(box_, &node) == S_OK) {
      VARIANT value{};
      if (property_value(node, UIA_ControlTypePropertyId, &value) == S_OK && value.vt == VT_I4) control_type = value.lVal;
      VariantClear(&value);
      node_release(node);
    }
    CoUninitialize();
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
  client.join();
  EXPECT_EQ(control_type, automation::kEditControl);
}

}  // namespace
}  // namespace host::win32::testing
