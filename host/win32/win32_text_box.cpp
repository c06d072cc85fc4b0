#include "host/win32/win32_text_box.h"

#include <new>

#include "host/objects/twips.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_error.h"

namespace host::win32 {
namespace {

bool Has(ScrollBars bars, ScrollBars axis) { return bars == ScrollBars::kBoth || bars == axis; }

}  // namespace

DWORD TextBoxStyle(const ControlDesign& design) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS | ES_LEFT;
  const bool horizontal = Has(design.scroll_bars, ScrollBars::kHorizontal);
  if (design.multi_line) {
    // Enter starts a new line instead of going to the window's default
    // button; without a horizontal scroll bar long lines wrap.
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (Has(design.scroll_bars, ScrollBars::kVertical)) style |= WS_VSCROLL;
    if (horizontal) style |= WS_HSCROLL;
  }
  if (horizontal || !design.multi_line) style |= ES_AUTOHSCROLL;
  return style;
}

Win32TextBox::Win32TextBox(const ControlDesign& design, HWND parent, Dpi dpi, HFONT font)
    : name_(design.name), dpi_(dpi) {
  const PixelRect rect = ToPixels(design.rect, dpi);
  edit_ = CheckWin32(CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", TextBoxStyle(design),
                                     rect.left, rect.top, rect.width, rect.height, parent,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(design.id)),
                                     GetModuleHandleW(nullptr), nullptr),
                     "create the text box " + name_);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // Zero lifts the control's own limit on what the user may type or paste
  // to the largest it supports.
  SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
}

Status Win32TextBox::GetText(String& text) {
  try {
    const auto length = static_cast<std::size_t>(SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0));
    String buffer(length + 1, u'\0');
    const auto copied = static_cast<std::size_t>(
        SendMessageW(edit_, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    buffer.resize(copied < length ? copied : length);
    text = std::move(buffer);
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

Status Win32TextBox::PutText(StringView text) {
  // The control takes its text NUL-terminated and would keep only what
  // stands before a NUL; a text it cannot hold whole is refused.
  if (text.find(u'\0') != StringView::npos) return kInvalidArgument;
  try {
    const String terminated(text);
    if (!SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()))) {
      return kOutOfMemory;  // the control could not make room for it
    }
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  const auto held = static_cast<std::size_t>(SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0));
  return held == text.size() ? kOk : kUnexpected;
}

Status Win32TextBox::Place(std::optional<int> left, std::optional<int> top,
                           std::optional<int> width, std::optional<int> height) {
  RECT rect{};
  if (!GetWindowRect(edit_, &rect)) return LastErrorStatus();
  // Screen to parent client coordinates; both corners at once.
  MapWindowPoints(HWND_DESKTOP, GetParent(edit_), reinterpret_cast<POINT*>(&rect), 2);
  if (!SetWindowPos(edit_, nullptr, left.value_or(rect.left), top.value_or(rect.top),
                    width.value_or(rect.right - rect.left), height.value_or(rect.bottom - rect.top),
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    return LastErrorStatus();
  }
  return kOk;
}

Status Win32TextBox::PutLeft(float twips) {
  return Place(TwipsToPixels(twips, dpi_.x), std::nullopt, std::nullopt, std::nullopt);
}

Status Win32TextBox::PutTop(float twips) {
  return Place(std::nullopt, TwipsToPixels(twips, dpi_.y), std::nullopt, std::nullopt);
}

Status Win32TextBox::PutWidth(float twips) {
  return Place(std::nullopt, std::nullopt, TwipsToPixels(twips, dpi_.x, true), std::nullopt);
}

Status Win32TextBox::PutHeight(float twips) {
  return Place(std::nullopt, std::nullopt, std::nullopt, TwipsToPixels(twips, dpi_.y, true));
}

}  // namespace host::win32
