// The keyboard in a TextControl: keys that move, edit and run commands, the
// characters typed, and what the control asks of the dialog manager.
#include <optional>

#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

bool Down(int key) { return GetKeyState(key) < 0; }

// Enter and Backspace are not here: they come as characters, as to the
// system's edit control, and other programs send them that way too.
std::optional<Key> KeyOf(WPARAM key) {
  switch (key) {
    case VK_LEFT: return Key::kLeft;
    case VK_RIGHT: return Key::kRight;
    case VK_UP: return Key::kUp;
    case VK_DOWN: return Key::kDown;
    case VK_HOME: return Key::kHome;
    case VK_END: return Key::kEnd;
    case VK_PRIOR: return Key::kPageUp;
    case VK_NEXT: return Key::kPageDown;
    case VK_DELETE: return Key::kDelete;
    case VK_INSERT: return Key::kInsert;
    case 'A': return Key::kA;
    case 'C': return Key::kC;
    case 'V': return Key::kV;
    case 'X': return Key::kX;
    case 'Y': return Key::kY;
    case 'Z': return Key::kZ;
    default: return std::nullopt;
  }
}

}  // namespace

bool TextControl::OnKeyDown(WPARAM key) {
  const std::optional<Key> known = KeyOf(key);
  return known && editor_.PressKey(*known, {.control = Down(VK_CONTROL), .shift = Down(VK_SHIFT), .alt = Down(VK_MENU)});
}

void TextControl::OnChar(char16_t unit) {
  if (editor_.PressCharacter(unit, Down(VK_CONTROL))) return;
  // Other controls come from Control with a letter (the commands above) or
  // from Tab, which moves the focus; none is typed. A pair comes as its two
  // halves, one after the other.
  if (unit < 0x20) return;
  document_.Type(StringView(&unit, 1));
}

LRESULT TextControl::OnGetDlgCode(const MSG* message) {
  // As a multi-line edit control: characters, arrows and Enter are the
  // box's; Tab and Escape are the dialog manager's.
  LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

}  // namespace host::win32
