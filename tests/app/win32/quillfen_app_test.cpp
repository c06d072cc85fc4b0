// Starts quillfen.exe, finds its window and controls, and checks the
// conversion and the layout through the messages any other program could
// send it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "host/objects/twips.h"
#include "tests/app/win32/wait_until.h"

namespace {

constexpr wchar_t kCaption[] = L"JSON to readable text converter";
constexpr int kOutputsId = 1;
constexpr int kCommand1Id = 2;
constexpr int kInputsId = 3;
using host::win32::testing::kColdStartBound;
using host::win32::testing::WaitUntil;

constexpr auto kWaitMilliseconds =
    static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(kColdStartBound).count());

struct Dpi {
  int x;
  int y;
};

Dpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const Dpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"quillfen.exe";
}

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM search_address) {
  auto& search = *reinterpret_cast<WindowSearch*>(search_address);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (process == search.process && std::wstring_view(caption) == kCaption) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

std::u16string TextOf(HWND control) {
  const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::u16string text(length + 1, u'\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied);
  return text;
}

void SetText(HWND control, const std::u16string& text) {
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

RECT PlaceOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT OuterOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

/// One running quillfen.exe; closed and waited for at the end.
class RunningProgram {
 public:
  RunningProgram() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + ProgramPath() + L"\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      ADD_FAILURE() << "quillfen.exe did not start, error " << GetLastError();
      return;
    }
    // Idle once its event loop waits for input; the window is taken once it
    // is shown, which it is only when it and its controls are built.
    WaitForInputIdle(process_.hProcess, kWaitMilliseconds);
    WindowSearch search{process_.dwProcessId, nullptr};
    WaitUntil([&] {
      search.found = nullptr;
      EnumWindows(&FindProgramWindow, reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr && IsWindowVisible(search.found);
    });
    if (search.found != nullptr && IsWindowVisible(search.found)) window_ = search.found;
  }

  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  ~RunningProgram() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, kWaitMilliseconds);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  /// Closes the window as its close box would; the exit status, or -1 when
  /// the program did not end.
  long Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) return -1;
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return static_cast<long>(status);
  }

  HWND Window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  DWORD ThreadId() const { return process_.dwThreadId; }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// The program keeps running between the conversions of the table.
class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { program_ = new RunningProgram(); }
  static void TearDownTestSuite() {
    delete program_;
    program_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(program_->Window(), nullptr) << "no window appeared"; }

  static RunningProgram* program_;
};

RunningProgram* ProgramTest::program_ = nullptr;

struct Conversion {
  const char* name;
  std::u16string input;
  std::u16string output;
};

std::u16string Repeated(std::u16string_view piece, std::size_t times) {
  std::u16string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// Just over a megabyte of input in pieces of 11 code units.
constexpr std::size_t kMegabytePieces = (1u << 20) / 11 + 1;

class Converting : public ProgramTest, public ::testing::WithParamInterface<Conversion> {};

TEST_P(Converting, ConvertShowsTheReadableTextAndLeavesInputsAlone) {
  const Conversion& conversion = GetParam();
  SetText(program_->Control(kOutputsId), u"typed before");
  SetText(program_->Control(kInputsId), conversion.input);
  ASSERT_EQ(TextOf(program_->Control(kInputsId)).size(), conversion.input.size());
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  const std::u16string output = TextOf(program_->Control(kOutputsId));
  ASSERT_EQ(output.size(), conversion.output.size());
  EXPECT_TRUE(output == conversion.output) << "differs in content";
  EXPECT_TRUE(TextOf(program_->Control(kInputsId)) == conversion.input);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Converting,
    ::testing::Values(
        Conversion{"Empty", u"", u""}, Conversion{"Plain", u"abc", u"abc"},
        Conversion{"Nested", u"{\"a\":1,\"b\":{\"c\":2}}",
                   u"{\r\n\"a\":1\r\n\"b\":{\r\n\"c\":2\r\n}\r\n}"},
        Conversion{"EmptyObject", u"{}", u"{\r\n\r\n}"},
        Conversion{"Array", u"[1,2,3]", u"[1\r\n2\r\n3]"},
        Conversion{"ClosingThenOpening", u"},{", u"\r\n}\r\n{\r\n"},
        Conversion{"CommaInAString", u"{\"s\":\"x,y\"}", u"{\r\n\"s\":\"x\r\ny\"\r\n}"},
        Conversion{"InputLineEndsLeaveTheirCr", u"{\r\n\t\"a\": 1\r\n}",
                   u"{\r\n\r\"a\": 1\r\r\n}"},
        Conversion{"LoneCrSurvives", u"a\rb", u"a\rb"},
        Conversion{"SurrogatePairs", u"{\"\U0001F600\":\"\U00010348\"}",
                   u"{\r\n\"\U0001F600\":\"\U00010348\"\r\n}"},
        Conversion{"LoneSurrogate", std::u16string{u'{', char16_t{0xD83D}, u','},
                   std::u16string{u'{', u'\r', u'\n', char16_t{0xD83D}, u'\r', u'\n'}}),
    [](const ::testing::TestParamInfo<Conversion>& info) { return std::string(info.param.name); });

// Puts a text on the clipboard, or reads the text there, as the user's
// other programs would.
bool OpenTheClipboard() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; });
}

void PutOnClipboard(const std::u16string& text) {
  ASSERT_TRUE(OpenTheClipboard());
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  ASSERT_NE(memory, nullptr);
  auto* copy = static_cast<char16_t*>(GlobalLock(memory));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
  GlobalUnlock(memory);
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
}

std::u16string ClipboardText() {
  if (!OpenTheClipboard()) return u"(clipboard not available)";
  std::u16string text;
  if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    const auto* units = static_cast<const char16_t*>(GlobalLock(memory));
    const std::size_t capacity = GlobalSize(memory) / sizeof(char16_t);
    text.assign(units, std::find(units, units + capacity, u'\0'));
    GlobalUnlock(memory);
  }
  CloseClipboard();
  return text;
}

// Over a megabyte in and out the way a user moves it: pasted into Inputs
// and copied out of Outputs. (A text that large does not fit in one
// message sent from another process under every system.)
TEST_F(ProgramTest, AMegabytePastedInIsConvertedAndCopiedOutWhole) {
  const std::u16string input = Repeated(u"{\"k\":[1,2]}", kMegabytePieces);
  HWND inputs = program_->Control(kInputsId);
  HWND outputs = program_->Control(kOutputsId);
  SetText(inputs, u"");
  PutOnClipboard(input);
  SendMessageW(inputs, WM_PASTE, 0, 0);
  ASSERT_EQ(static_cast<std::size_t>(SendMessageW(inputs, WM_GETTEXTLENGTH, 0, 0)), input.size());
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  SendMessageW(outputs, EM_SETSEL, 0, -1);
  SendMessageW(outputs, WM_COPY, 0, 0);
  const std::u16string output = ClipboardText();
  const std::u16string expected = Repeated(u"{\r\n\"k\":[1\r\n2]\r\n}", kMegabytePieces);
  ASSERT_EQ(output.size(), expected.size());
  EXPECT_TRUE(output == expected) << "differs in content";
}

// Ten megabytes of minified JSON, as an API answers, pasted into Inputs,
// converted, and copied out of Outputs, through the real window.
TEST_F(ProgramTest, TenMegabytesOfMinifiedJsonAreConvertedExactly) {
  std::u16string input = u"[";
  std::u16string expected = u"[";
  for (std::size_t record = 0; input.size() < 10'000'000; ++record) {
    const std::u16string id(std::u16string_view(u"0123456789").substr(record % 10, 1));
    if (record != 0) {
      input += u",";
      expected += u"\r\n";
    }
    input += u"{\"id\":" + id + u",\"name\":\"n\u00E9" + id + u"\",\"tags\":[\"a\",true],\"at\":{\"x\":1.5}}";
    expected += u"{\r\n\"id\":" + id + u"\r\n\"name\":\"n\u00E9" + id + u"\"\r\n\"tags\":[\"a\"\r\ntrue]\r\n\"at\":{\r\n\"x\":1.5\r\n}\r\n}";
  }
  input += u"]";
  expected += u"]";
  HWND inputs = program_->Control(kInputsId);
  HWND outputs = program_->Control(kOutputsId);
  SetText(inputs, u"");
  PutOnClipboard(input);
  SendMessageW(inputs, WM_PASTE, 0, 0);
  ASSERT_EQ(static_cast<std::size_t>(SendMessageW(inputs, WM_GETTEXTLENGTH, 0, 0)), input.size());
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  ASSERT_EQ(static_cast<std::size_t>(SendMessageW(outputs, WM_GETTEXTLENGTH, 0, 0)), expected.size());
  SendMessageW(outputs, EM_SETSEL, 0, -1);
  SendMessageW(outputs, WM_COPY, 0, 0);
  const std::u16string output = ClipboardText();
  ASSERT_EQ(output.size(), expected.size());
  EXPECT_TRUE(output == expected) << "differs in content";
  EXPECT_EQ(SendMessageW(outputs, EM_GETLINECOUNT, 0, 0),
            static_cast<LRESULT>(std::count(expected.begin(), expected.end(), u'\n') + 1));
}

TEST_F(ProgramTest, ConvertingTwiceGivesTheSameText) {
  SetText(program_->Control(kInputsId), u"{\"a\":[1,2]}");
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  const std::u16string first = TextOf(program_->Control(kOutputsId));
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  EXPECT_TRUE(TextOf(program_->Control(kOutputsId)) == first);
  EXPECT_TRUE(first == u"{\r\n\"a\":[1\r\n2]\r\n}");
}

// The layout the program must give its boxes for an outer size, computed
// from the sizes it had when it was loaded.
class Layout {
 public:
  Layout(RECT outer, RECT client, Dpi dpi)
      : dpi_(dpi),
        height_ratio_(static_cast<double>(Twips(client.bottom - client.top, dpi.y)) /
                      static_cast<double>(Twips(outer.bottom - outer.top, dpi.y))),
        width_ratio_(static_cast<double>(Twips(client.right - client.left, dpi.x)) /
                     static_cast<double>(Twips(outer.right - outer.left, dpi.x))) {}

  int OutputsHeight(RECT outer) const {
    return Scaled(Twips(outer.bottom - outer.top, dpi_.y), 1800, height_ratio_, dpi_.y);
  }
  int BoxesWidth(RECT outer) const {
    return Scaled(Twips(outer.right - outer.left, dpi_.x), 1330, width_ratio_, dpi_.x);
  }
  int X(float twips) const { return host::TwipsToPixels(twips, dpi_.x); }
  int Y(float twips) const { return host::TwipsToPixels(twips, dpi_.y); }

 private:
  static float Twips(int pixels, int dpi) { return host::PixelsToTwips(pixels, dpi); }
  static int Scaled(float reading, float allowance, double ratio, int dpi) {
    const double twips = (static_cast<double>(reading) - static_cast<double>(allowance)) * ratio;
    return host::TwipsToPixels(static_cast<float>(twips), dpi, true);
  }

  Dpi dpi_;
  double height_ratio_;
  double width_ratio_;
};

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(program_.Window(), nullptr);
    GetClientRect(program_.Window(), &client_);
    outer_ = OuterOf(program_.Window());
  }

  void ExpectLaidOut(const char* when) {
    const Layout layout(outer_, client_, dpi_);
    const RECT outer = OuterOf(program_.Window());
    const RECT outputs = PlaceOf(program_.Control(kOutputsId));
    const RECT inputs = PlaceOf(program_.Control(kInputsId));
    EXPECT_EQ(outputs.left, layout.X(960)) << when;
    EXPECT_EQ(outputs.top, layout.Y(1320)) << when;
    EXPECT_EQ(inputs.left, layout.X(960)) << when;
    EXPECT_EQ(inputs.top, layout.Y(360)) << when;
    EXPECT_EQ(outputs.bottom - outputs.top, layout.OutputsHeight(outer)) << when;
    EXPECT_EQ(outputs.right - outputs.left, layout.BoxesWidth(outer)) << when;
    EXPECT_EQ(inputs.right - inputs.left, layout.BoxesWidth(outer)) << when;
    EXPECT_EQ(inputs.bottom - inputs.top, layout.Y(615)) << when << ": Inputs keeps its height";
    const RECT command1 = PlaceOf(program_.Control(kCommand1Id));
    EXPECT_EQ(command1.left, layout.X(120)) << when;
    EXPECT_EQ(command1.top, layout.Y(360)) << when;
  }

  void SetOuterSize(int width, int height) {
    SetWindowPos(program_.Window(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }

  RunningProgram program_;
  Dpi dpi_ = ScreenDpi();
  RECT outer_{};
  RECT client_{};
};

TEST_F(LayoutTest, OpensWithTheDesignClientSizeAndFocusInInputs) {
  EXPECT_EQ(client_.right, host::TwipsToPixels(6615, dpi_.x));
  EXPECT_EQ(client_.bottom, host::TwipsToPixels(10890, dpi_.y));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(program_.ThreadId(), &gui));
  EXPECT_EQ(gui.hwndFocus, program_.Control(kInputsId));
  EXPECT_TRUE(TextOf(program_.Control(kInputsId)).empty());
  EXPECT_TRUE(TextOf(program_.Control(kOutputsId)).empty());
}

TEST_F(LayoutTest, TheFirstResizeAlreadyScalesTheBoxes) { ExpectLaidOut("at start"); }

TEST_F(LayoutTest, BoxesFollowEveryNewOuterSize) {
  for (const SIZE& size : {SIZE{600, 700}, SIZE{300, 250}, SIZE{900, 980}, SIZE{450, 800}}) {
    SetOuterSize(size.cx, size.cy);
    ExpectLaidOut(("at " + std::to_string(size.cx) + "x" + std::to_string(size.cy)).c_str());
  }
}

TEST_F(LayoutTest, TooLowAWindowGivesOutputsNoHeight) {
  const Layout layout(outer_, client_, dpi_);
  SetOuterSize(400, layout.Y(1800));
  ExpectLaidOut("at the height allowance");
  EXPECT_EQ(PlaceOf(program_.Control(kOutputsId)).bottom - PlaceOf(program_.Control(kOutputsId)).top, 0);
  SetOuterSize(400, layout.Y(1800) - 40);
  ExpectLaidOut("below the height allowance");
  EXPECT_EQ(PlaceOf(program_.Control(kOutputsId)).bottom - PlaceOf(program_.Control(kOutputsId)).top, 0);
}

TEST_F(LayoutTest, MinimisingChangesNothingAndRestoringOrMaximisingLaysOutAgain) {
  SetOuterSize(500, 600);
  const RECT outputs_before = PlaceOf(program_.Control(kOutputsId));
  const RECT inputs_before = PlaceOf(program_.Control(kInputsId));
  ShowWindow(program_.Window(), SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(program_.Window()));
  const RECT outputs_minimised = PlaceOf(program_.Control(kOutputsId));
  const RECT inputs_minimised = PlaceOf(program_.Control(kInputsId));
  EXPECT_TRUE(EqualRect(&outputs_minimised, &outputs_before));
  EXPECT_TRUE(EqualRect(&inputs_minimised, &inputs_before));
  ShowWindow(program_.Window(), SW_RESTORE);
  ExpectLaidOut("restored");
  ShowWindow(program_.Window(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(program_.Window()));
  ExpectLaidOut("maximised");
}

TEST_F(LayoutTest, ClosingTheWindowEndsTheProgramWithStatusZero) {
  EXPECT_EQ(program_.Close(), 0);
}

}  // namespace
