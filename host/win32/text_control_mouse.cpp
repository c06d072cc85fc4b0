// The mouse in a TextControl: placing the caret, selecting by dragging
// (scrolling while the mouse is held outside), and the context menu.
#include "host/win32/handles.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragScrollMs = 50;

// The context menu's items, numbered as the edit control numbers them.
struct MenuItem {
  Command command;
  UINT id;
  const wchar_t* text;
};
constexpr MenuItem kMenuItems[] = {
    {Command::kUndo, WM_UNDO, L"&Undo"},          {Command::kCut, WM_CUT, L"Cu&t"},
    {Command::kCopy, WM_COPY, L"&Copy"},          {Command::kPaste, WM_PASTE, L"&Paste"},
    {Command::kDeleteSelection, WM_CLEAR, L"&Delete"}, {Command::kSelectAll, EM_SETSEL, L"Select &All"},
};

const MenuItem* ItemFor(Command command) {
  for (const MenuItem& item : kMenuItems) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

}  // namespace

// The system counts the clicks of a series: a double click comes as a message of its own.
void TextControl::OnButtonDown(POINT point, bool extend, int clicks) {
  if (GetFocus() != window_) SetFocus(window_);
  SetCapture(window_);
  editor_.Press({.position = PositionAt(point), .extend = extend, .clicks = clicks}, {});
}

void TextControl::OnMouseMove(POINT point) {
  if (!editor_.Dragging()) return;
  drag_point_ = point;
  editor_.Drag(PositionAt(point));
  // Each tick moves the caret as far again past the edge, and the view follows it.
  RECT client{};
  GetClientRect(window_, &client);
  if (PtInRect(&client, point)) {
    KillTimer(window_, kDragTimer);
  } else {
    SetTimer(window_, kDragTimer, kDragScrollMs, nullptr);
  }
}

void TextControl::OnDragTimer() { editor_.Drag(PositionAt(drag_point_)); }

void TextControl::OnButtonUp() {
  if (!editor_.Dragging()) return;
  editor_.Release();
  KillTimer(window_, kDragTimer);
  if (GetCapture() == window_) ReleaseCapture();
}

HMENU TextControl::CreateContextMenu() {
  UniqueMenu menu(CreatePopupMenu());
  if (menu == nullptr) return nullptr;
  for (const MenuEntry& entry : editor_.ContextMenu(IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE)) {
    const MenuItem* item = ItemFor(entry.command);
    if (item == nullptr) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED), item->id, item->text);
    }
  }
  return menu.release();
}

void TextControl::RunMenuCommand(UINT command) {
  for (const MenuItem& item : kMenuItems) {
    if (item.id == command) return editor_.Run(item.command);
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
