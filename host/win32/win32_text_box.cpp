#include "host/win32/win32_text_box.h"

#include <new>
#include <utility>

#include "host/objects/twips.h"
#include "host/win32/text_control.h"
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
    // button.
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (Has(design.scroll_bars, ScrollBars::kVertical)) style |= WS_VSCROLL;
    if (horizontal) style |= WS_HSCROLL;
  }
  if (horizontal || !design.multi_line) style |= ES_AUTOHSCROLL;
  return style;
}

Win32TextBox::Win32TextBox(const ControlDesign& design, HWND parent, Dpi dpi, HFONT font)
    : name_(design.name), dpi_(dpi) {
  RegisterTextControlClass();
  const PixelRect rect = ToPixels(design.rect, dpi);
  handle_ = CheckWin32(CreateWindowExW(WS_EX_CLIENTEDGE, kTextControlClass, L"", TextBoxStyle(design),
                                       rect.left, rect.top, rect.width, rect.height, parent,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(design.id)),
                                       GetModuleHandleW(nullptr), nullptr),
                       "create the text box " + name_);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

Status Win32TextBox::GetText(String& text) {
  TextControl* control = TextControl::From(handle_);
  if (control == nullptr) return kUnexpected;
  try {
    text = control->Document().Text();
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

Status Win32TextBox::PutText(String text) {
  TextControl* control = TextControl::From(handle_);
  if (control == nullptr) return kUnexpected;
  try {
    control->ResetText(std::move(text));
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;  // the box keeps its text
  }
}

Status Win32TextBox::Place(std::optional<int> left, std::optional<int> top,
                           std::optional<int> width, std::optional<int> height) {
  RECT rect{};
  if (!GetWindowRect(handle_, &rect)) return LastErrorStatus();
  // Screen to parent client coordinates; both corners at once.
  MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&rect), 2);
  if (!SetWindowPos(handle_, nullptr, left.value_or(rect.left), top.value_or(rect.top),
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
