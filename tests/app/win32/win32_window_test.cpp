#include "host/win32/win32_window.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <thread>

#include "host/runtime/runtime_error.h"
#include "host/start/start.h"
#include "host/objects/twips.h"
#include "host/win32/dpi.h"
#include "host/win32/text_control.h"
#include "host/win32/wide_text.h"
#include "tests/app/win32/wait_until.h"
#include "tests/app/win32/win32_test_support.h"
#include "app/project_image.h"

namespace host::win32 {
namespace {

using testing::Control;
using testing::kCommand1Id;
using testing::kInputsId;
using testing::kLabel1Id;
using testing::kLabel2Id;
using testing::kOutputsId;
using testing::Pump;
using testing::WaitUntil;

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

// Holds Ctrl or Shift down for the thread's own key-state reads.
class HeldKey {
 public:
  explicit HeldKey(int key) : key_(key) { Set(0x80); }
  ~HeldKey() { Set(0); }

 private:
  void Set(BYTE value) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[key_] = value;
    SetKeyboardState(keys);
  }
  int key_;
};

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = &static_cast<Win32Window&>(backend_.CreateWindow(window::kJSONfrmDesign, sink_));
    sink_.window = window_;
    top_ = window_->Handle();
  }

  void Show() {
    window_->Show();
    Pump(*window_);
  }

  // Sends a key press through the window's keyboard handling, as the
  // event loop would.
  void Press(HWND target, WPARAM key) {
    MSG down{};
    down.hwnd = target;
    down.message = WM_KEYDOWN;
    down.wParam = key;
    down.lParam = 1;
    if (!window_->PreTranslate(down)) {
      TranslateMessage(&down);
      DispatchMessageW(&down);
    }
    Pump(*window_);
  }

  RECT Client() const {
    RECT rect{};
    GetClientRect(top_, &rect);
    return rect;
  }

  Win32Backend backend_;
  testing::RecordingSink sink_;
  Win32Window* window_ = nullptr;
  HWND top_ = nullptr;
  Dpi dpi_ = ScreenDpi();
};

TEST_F(Win32WindowTest, IsASizableCaptionedWindowWithTheDesignClientSize) {
  EXPECT_EQ(TextOf(top_), L"JSON to readable text converter");
  const auto style = static_cast<DWORD>(GetWindowLongW(top_, GWL_STYLE));
  for (DWORD bit : {DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{WS_THICKFRAME},
                    DWORD{WS_MINIMIZEBOX}, DWORD{WS_MAXIMIZEBOX}}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }
  EXPECT_NE(GetWindowLongW(top_, GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
  const PixelRect client = ToPixels(window::kJSONfrmDesign.client, dpi_);
  EXPECT_EQ(Client().right, client.width);
  EXPECT_EQ(Client().bottom, client.height);
}

TEST_F(Win32WindowTest, ReadingsAreTheFrameAndTheClientAreaInTwips) {
  RECT outer{};
  GetWindowRect(top_, &outer);
  float height = 0, width = 0, scale_height = 0, scale_width = 0;
  ASSERT_EQ(window_->GetHeight(height), kOk);
  ASSERT_EQ(window_->GetWidth(width), kOk);
  ASSERT_EQ(window_->GetScaleHeight(scale_height), kOk);
  ASSERT_EQ(window_->GetScaleWidth(scale_width), kOk);
  EXPECT_EQ(height, PixelsToTwips(outer.bottom - outer.top, dpi_.y));
  EXPECT_EQ(width, PixelsToTwips(outer.right - outer.left, dpi_.x));
  EXPECT_EQ(scale_height, PixelsToTwips(Client().bottom, dpi_.y));
  EXPECT_EQ(scale_width, PixelsToTwips(Client().right, dpi_.x));
  EXPECT_GT(height, scale_height) << "the caption bar counts in the outer height";
  EXPECT_GT(width, scale_width);
}

TEST_F(Win32WindowTest, ControlsHaveTheDesignsIdentifiersKindsCaptionsAndFont) {
  struct Expected {
    int id;
    const wchar_t* window_class;
    const wchar_t* caption;
  };
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(Control(top_, kInputsId), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  for (const Expected& control : {Expected{kOutputsId, kTextControlClass, L""},
                                  Expected{kCommand1Id, L"Button", L"Convert"},
                                  Expected{kInputsId, kTextControlClass, L""},
                                  Expected{kLabel2Id, L"Static", L"JSON converted to readable"},
                                  Expected{kLabel1Id, L"Static", L"JSON string - paste in"}}) {
    HWND child = Control(top_, control.id);
    ASSERT_NE(child, nullptr) << control.id;
    EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), control.window_class), 0) << control.id;
    EXPECT_EQ(TextOf(child), control.caption);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), font) << control.id;
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  LOGFONTW used{};
  ASSERT_NE(GetObjectW(font, sizeof used, &used), 0);
  EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName);
  EXPECT_EQ(used.lfHeight, metrics.lfMessageFont.lfHeight);
}

TEST_F(Win32WindowTest, ConvertIsAPlainPushButtonAndLabelsTakeNoFocus) {
  const auto button = static_cast<DWORD>(GetWindowLongW(Control(top_, kCommand1Id), GWL_STYLE));
  EXPECT_EQ(button & BS_TYPEMASK, DWORD{BS_PUSHBUTTON}) << "not the default button";
  EXPECT_NE(button & WS_TABSTOP, 0u);
  for (int label : {kLabel1Id, kLabel2Id}) {
    EXPECT_EQ(GetWindowLongW(Control(top_, label), GWL_STYLE) & WS_TABSTOP, 0);
  }
}

TEST_F(Win32WindowTest, FixedControlsStandAtTheirDesignPlaces) {
  for (const ControlDesign& control : window::kJSONfrmDesign.controls) {
    RECT rect{};
    GetWindowRect(Control(top_, control.id), &rect);
    MapWindowPoints(HWND_DESKTOP, top_, reinterpret_cast<POINT*>(&rect), 2);
    const PixelRect design = ToPixels(control.rect, dpi_);
    EXPECT_EQ(rect.left, design.left) << control.name;
    EXPECT_EQ(rect.top, design.top) << control.name;
    EXPECT_EQ(rect.right - rect.left, design.width) << control.name;
    EXPECT_EQ(rect.bottom - rect.top, design.height) << control.name;
  }
}

TEST_F(Win32WindowTest, TextBoxesAreFoundByNameOnly) {
  Ref<TextBox> box;
  EXPECT_EQ(window_->GetTextBox("Outputs", box), kOk);
  EXPECT_TRUE(box);
  Ref<TextBox> none;
  EXPECT_EQ(window_->GetTextBox("Label1", none), kInvalidArgument);
  EXPECT_EQ(window_->GetTextBox("Command1", none), kInvalidArgument);
  EXPECT_FALSE(none);
}

TEST_F(Win32WindowTest, ResizeComesOnlyAfterShowThenForEverySizeAndStateChange) {
  SetWindowPos(top_, nullptr, 0, 0, 500, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(*window_);
  EXPECT_TRUE(sink_.log.empty()) << "nothing before the window is shown";
  Show();
  EXPECT_EQ(sink_.log, (std::vector<std::string>{"JSONfrm/7 0"}));
  sink_.log.clear();
  SetWindowPos(top_, nullptr, 0, 0, 520, 640, SWP_NOMOVE | SWP_NOZORDER);
  ShowWindow(top_, SW_MINIMIZE);
  ShowWindow(top_, SW_RESTORE);
  ShowWindow(top_, SW_MAXIMIZE);
  Pump(*window_);
  ASSERT_GE(sink_.log.size(), 4u) << ::testing::PrintToString(sink_.log);
  EXPECT_EQ(sink_.log.front(), "JSONfrm/7 0");
  EXPECT_NE(std::find(sink_.log.begin(), sink_.log.end(), "JSONfrm/7 1"), sink_.log.end());
  EXPECT_EQ(sink_.log.back(), "JSONfrm/7 2") << ::testing::PrintToString(sink_.log);
  std::int16_t state = -1;
  ASSERT_EQ(window_->GetWindowState(state), kOk);
  EXPECT_EQ(state, 2);
}

TEST_F(Win32WindowTest, ClickComesFromConvertOnly) {
  Show();
  sink_.log.clear();
  SendMessageW(Control(top_, kCommand1Id), BM_CLICK, 0, 0);
  // A command that names a control that is no button is not a click.
  SendMessageW(top_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(Control(top_, kOutputsId)));
  Pump(*window_);
  EXPECT_EQ(sink_.log, (std::vector<std::string>{"Command1/0 0"}));
}

TEST_F(Win32WindowTest, FocusStartsInInputsAndTabGoesToConvertThenOutputsAndBack) {
  Show();
  HWND inputs = Control(top_, kInputsId);
  HWND command1 = Control(top_, kCommand1Id);
  HWND outputs = Control(top_, kOutputsId);
  EXPECT_EQ(GetFocus(), inputs);
  Press(inputs, VK_TAB);
  EXPECT_EQ(GetFocus(), command1);
  Press(command1, VK_TAB);
  EXPECT_EQ(GetFocus(), outputs);
  Press(outputs, VK_TAB);
  EXPECT_EQ(GetFocus(), inputs);
  {
    const HeldKey shift(VK_SHIFT);
    Press(inputs, VK_TAB);
    EXPECT_EQ(GetFocus(), outputs);
  }
  EXPECT_EQ(TextOf(inputs), L"") << "Tab is not typed";
  EXPECT_EQ(TextOf(outputs), L"");
}

TEST_F(Win32WindowTest, EnterInInputsStartsANewLineAndEnterOnConvertPressesIt) {
  Show();
  HWND inputs = Control(top_, kInputsId);
  sink_.log.clear();
  Press(inputs, VK_RETURN);
  EXPECT_EQ(TextOf(inputs), L"\r\n");
  EXPECT_TRUE(sink_.log.empty());
  HWND command1 = Control(top_, kCommand1Id);
  SetFocus(command1);
  Press(command1, VK_RETURN);
  EXPECT_EQ(sink_.log, (std::vector<std::string>{"Command1/0 0"}));
}

TEST_F(Win32WindowTest, EscapeNeitherPressesConvertNorClosesTheWindow) {
  Show();
  sink_.log.clear();
  for (int id : {kCommand1Id, kInputsId, kOutputsId}) {
    HWND control = Control(top_, id);
    SetFocus(control);
    Press(control, VK_ESCAPE);
  }
  EXPECT_TRUE(IsWindow(top_));
  EXPECT_TRUE(sink_.log.empty()) << ::testing::PrintToString(sink_.log);
}

TEST_F(Win32WindowTest, CtrlASelectsAllOfTheFocusedBox) {
  Show();
  HWND outputs = Control(top_, kOutputsId);
  SetWindowTextW(outputs, L"line one\r\nline two");
  SetFocus(outputs);
  SendMessageW(outputs, EM_SETSEL, 3, 3);
  {
    const HeldKey control(VK_CONTROL);
    Press(outputs, 'A');
  }
  DWORD start = 99, end = 0;
  SendMessageW(outputs, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 18u);
  EXPECT_EQ(TextOf(outputs), L"line one\r\nline two") << "no character typed";
}

TEST_F(Win32WindowTest, FocusReturnsToItsControlWhenTheWindowIsActivatedAgain) {
  Show();
  HWND outputs = Control(top_, kOutputsId);
  SetFocus(outputs);
  SendMessageW(top_, WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(top_);
  EXPECT_EQ(GetFocus(), outputs);
}

// A program whose Click fails, started through the real start routine on a
// thread of its own.
// JSONfrm's procedure table with a Click that fails.
constexpr std::array<Procedure, 4> kFailingOnClick{{
    {"JSONFormat", nullptr},
    {"Command1_Click", [](Form&) { throw RuntimeError(ErrorNumber::kOverflow, "Overflow"); }},
    {"Form_Load", [](Form&) {}},
    {"Form_Resize", [](Form&) {}},
}};

// The window of this class and caption once it is shown, or null. A
// window exists before its controls do and before it is ready for input;
// it is shown only once it is built, and a dialog once it is filled in.
HWND WaitForShownWindow(const wchar_t* window_class, const wchar_t* caption) {
  HWND found = nullptr;
  WaitUntil([&] {
    found = FindWindowW(window_class, caption);
    return found != nullptr && IsWindowVisible(found);
  });
  return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

// Appends the text of every label of a message box.
BOOL CALLBACK CollectStaticText(HWND child, LPARAM text) {
  if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
    *reinterpret_cast<std::wstring*>(text) += TextOf(child);
  }
  return TRUE;
}

TEST(Win32ErrorReport, AFailingHandlerIsShownInAMessageBoxAndEndsTheProgramWithStatusOne) {
  std::packaged_task<int()> program_run([] {
    Win32Backend backend;
    const ObjectCode code{.create = [](Window&, const ObjectInterfaces&) { return std::make_unique<Form>(); },
                          .procedures = kFailingOnClick};
    return Start(backend, app::kProjectImage, code);
  });
  std::future<int> status = program_run.get_future();
  std::thread runner(std::move(program_run));
  // A failed assertion returns early: the program's thread, still in its
  // message loop, is let go so that the failure is reported, not an abort.
  const struct LetGo {
    std::thread& thread;
    ~LetGo() {
      if (thread.joinable()) thread.detach();
    }
  } let_go{runner};
  HWND top = WaitForShownWindow(L"QuillfenWindow", L"JSON to readable text converter");
  ASSERT_NE(top, nullptr);
  HWND convert = GetDlgItem(top, kCommand1Id);
  ASSERT_NE(convert, nullptr);
  // Posted: the click's handler does not return while its report is open.
  PostMessageW(convert, BM_CLICK, 0, 0);
  // Titled with the project name the image records.
  HWND box = WaitForShownWindow(L"#32770", L"Quillfen");
  ASSERT_NE(box, nullptr);
  std::wstring text;
  EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text, L"Run-time error '6': Overflow");
  EXPECT_FALSE(IsWindowEnabled(top)) << "the report is modal to the window";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(status.wait_for(testing::kColdStartBound), std::future_status::ready);
  runner.join();
  EXPECT_EQ(status.get(), 1);
}

}  // namespace
}  // namespace host::win32
