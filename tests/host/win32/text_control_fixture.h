#pragma once
// A text control in a parent window of its own that records what the
// control tells it, and ways to type, click and read as a user or another
// program would.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "host/runtime/string.h"
#include "host/win32/handles.h"
#include "host/win32/text_control.h"
#include "host/win32/windows_api.h"

namespace host::win32::testing {

inline constexpr int kControlId = 7;
inline constexpr wchar_t kParentClass[] = L"QuillfenTextControlTestParent";

class TextControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTextControlClass();
    RegisterParentClass();
    parent_.reset(CreateWindowExW(0, kParentClass, L"test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), this));
    ASSERT_NE(parent_, nullptr);
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, kTextControlClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE,
                           0, 0, 400, 200, parent_.get(), reinterpret_cast<HMENU>(kControlId),
                           GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box_, nullptr);
    control_ = TextControl::From(box_);
    ASSERT_NE(control_, nullptr);
    SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetFocus(box_);
    Pump();
  }

  // The windows go while everything they report to is still here.
  void TearDown() override { parent_.reset(); }

  TextDocument& Document() { return control_->Document(); }

  void Put(StringView text) { ASSERT_TRUE(SendMessageW(box_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(String(text).c_str()))); }
  // The text as another program reads it.
  String Get() {
    const auto length = static_cast<std::size_t>(SendMessageW(box_, WM_GETTEXTLENGTH, 0, 0));
    String text(length + 1, u'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(box_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
  }
  void Select(std::size_t anchor, std::size_t caret) {
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(caret));
  }

  // A key pressed with the modifiers held, through the system's translation
  // into characters, as the message loop delivers it.
  void Press(WPARAM key, std::initializer_list<int> held = {}) {
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE keys[256] = {};
    for (int modifier : held) keys[modifier] = 0x80;
    SetKeyboardState(keys);
    MSG down{.hwnd = box_, .message = WM_KEYDOWN, .wParam = key, .lParam = 1, .time = 0, .pt = {}};
    TranslateMessage(&down);
    DispatchMessageW(&down);
    Pump();
    SetKeyboardState(saved);
  }
  // Characters as a keyboard layout or another program sends them.
  void Type(StringView units) {
    for (const char16_t unit : units) SendMessageW(box_, WM_CHAR, unit, 1);
  }
  void Mouse(UINT message, POINT point, WPARAM keys = 0) {
    SendMessageW(box_, message, keys, MAKELPARAM(point.x, point.y));
  }
  // The middle of the cell that starts at `position`.
  POINT CellPoint(std::size_t position) {
    const POINT at = control_->PointAt(position);
    return POINT{at.x + 2, at.y + control_->LineHeight() / 2};
  }

  void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // Pumps messages until `done` holds, for at most a generous while.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      Pump();
    }
    return true;
  }

  int ScrollPosition(int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(box_, bar, &info);
    return info.nPos;
  }

  UniqueWindow parent_;
  HWND box_ = nullptr;
  TextControl* control_ = nullptr;
  std::vector<WORD> notifications_;  // EN_ codes from the box, in order

 private:
  static void RegisterParentClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kParentClass, &existing)) return;
    WNDCLASSEXW parent{};
    parent.cbSize = sizeof parent;
    parent.lpfnWndProc = &ParentProc;
    parent.hInstance = GetModuleHandleW(nullptr);
    parent.lpszClassName = kParentClass;
    RegisterClassExW(&parent);
  }
  static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<TextControlTest*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COMMAND && LOWORD(wparam) == kControlId && self != nullptr) {
      self->notifications_.push_back(HIWORD(wparam));
      return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }
};

// Puts a text on the clipboard, or reads the text there, as other programs
// do.
inline bool PutClipboard(StringView text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  auto* units = static_cast<char16_t*>(GlobalLock(memory));
  std::copy(text.begin(), text.end(), units);
  units[text.size()] = u'\0';
  GlobalUnlock(memory);
  const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return put;
}

inline String ClipboardText() {
  if (!OpenClipboard(nullptr)) return u"(clipboard not available)";
  String text;
  if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    const auto* units = static_cast<const char16_t*>(GlobalLock(memory));
    const std::size_t capacity = GlobalSize(memory) / sizeof(char16_t);
    text.assign(units, std::find(units, units + capacity, u'\0'));
    GlobalUnlock(memory);
  }
  CloseClipboard();
  return text;
}

}  // namespace host::win32::testing
