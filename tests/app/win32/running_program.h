#pragma once
// quillfen.exe started as its own process, its window and controls found
// by identifier: what the program tests share.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "host/objects/twips.h"
#include "tests/app/win32/wait_until.h"

namespace quillfen_app_testing {

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

inline Dpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const Dpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  return dpi;
}

inline std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"quillfen.exe";
}

struct WindowSearch {
  DWORD process;
  HWND found;
};

inline BOOL CALLBACK FindProgramWindow(HWND window, LPARAM search_address) {
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

inline std::u16string TextOf(HWND control) {
  const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::u16string text(length + 1, u'\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied);
  return text;
}

inline void SetText(HWND control, const std::u16string& text) {
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline RECT PlaceOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline RECT OuterOf(HWND window) {
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

  static inline RunningProgram* program_ = nullptr;
};

}  // namespace quillfen_app_testing
