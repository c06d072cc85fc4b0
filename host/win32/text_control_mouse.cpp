// The mouse in a TextControl: placing the caret, selecting by dragging
// (scrolling while the mouse is held outside), and the context menu.
#include "host/win32/clipboard.h"
#include "host/win32/handles.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragScrollMs = 50;

// The context menu's items, numbered as the edit control numbers them.
constexpr UINT kMenuUndo = WM_UNDO;
constexpr UINT kMenuCut = WM_CUT;
constexpr UINT kMenuCopy = WM_COPY;
constexpr UINT kMenuPaste = WM_PASTE;
constexpr UINT kMenuDelete = WM_CLEAR;
constexpr UINT kMenuSelectAll = EM_SETSEL;

}  // namespace

void TextControl::OnButtonDown(POINT point, bool extend) {
  if (GetFocus() != window_) SetFocus(window_);
  selecting_ = true;
  SetCapture(window_);
  document_.MoveTo(PositionAt(point), extend);
}

void TextControl::OnMouseMove(POINT point) {
  if (!selecting_) return;
  drag_point_ = point;
  document_.MoveTo(PositionAt(point), true);
  // Each tick moves the caret as far again past the edge, and the view follows it.
  RECT client{};
  GetClientRect(window_, &client);
  if (PtInRect(&client, point)) {
    KillTimer(window_, kDragTimer);
  } else {
    SetTimer(window_, kDragTimer, kDragScrollMs, nullptr);
  }
}

void TextControl::OnDragTimer() {
  if (selecting_) document_.MoveTo(PositionAt(drag_point_), true);
}

void TextControl::OnButtonUp() {
  if (!selecting_) return;
  selecting_ = false;
  KillTimer(window_, kDragTimer);
  if (GetCapture() == window_) ReleaseCapture();
}

HMENU TextControl::CreateContextMenu() {
  UniqueMenu menu(CreatePopupMenu());
  if (menu == nullptr) return nullptr;
  const bool selected = document_.HasSelection();
  auto add = [&menu](UINT command, const wchar_t* text, bool enabled) {
    AppendMenuW(menu.get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
  };
  add(kMenuUndo, L"&Undo", document_.CanUndo());
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  add(kMenuCut, L"Cu&t", selected);
  add(kMenuCopy, L"&Copy", selected);
  add(kMenuPaste, L"&Paste", IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
  add(kMenuDelete, L"&Delete", selected);
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  add(kMenuSelectAll, L"Select &All", document_.Size() != 0);
  return menu.release();
}

void TextControl::RunMenuCommand(UINT command) {
  switch (command) {
    case kMenuUndo:
      document_.Undo();
      break;
    case kMenuCut:
      Cut();
      break;
    case kMenuCopy:
      Copy();
      break;
    case kMenuPaste:
      Paste();
      break;
    case kMenuDelete:
      document_.DeleteSelection();
      break;
    case kMenuSelectAll:
      document_.SelectAll();
      break;
    default:
      break;
  }
}

void TextControl::OnContextMenu(LPARAM screen_point) {
  if (GetFocus() != window_) SetFocus(window_);
  POINT at{static_cast<short>(LOWORD(screen_point)), static_cast<short>(HIWORD(screen_point))};
  if (screen_point == -1) {
    // From the keyboard: at the caret.
    at = PointAt(document_.Caret());
    at.y += line_height_;
    ClientToScreen(window_, &at);
  }
  const UniqueMenu menu(CreateContextMenu());
  if (menu == nullptr) return;
  const auto command = static_cast<UINT>(
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
  RunMenuCommand(command);
}

}  // namespace host::win32
