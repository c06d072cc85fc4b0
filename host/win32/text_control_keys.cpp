// The keyboard in a TextControl: keys that move, edit and run commands, the
// characters typed, and what the control asks of the dialog manager.
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

bool Down(int key) { return GetKeyState(key) < 0; }

// Characters that come as WM_CHAR for keys handled elsewhere or not at all.
constexpr char16_t kBackspace = 0x08;
constexpr char16_t kControlBackspace = 0x7F;
constexpr char16_t kEnter = u'\r';

}  // namespace

bool TextControl::OnKeyDown(WPARAM key) {
  const bool control = Down(VK_CONTROL);
  const bool shift = Down(VK_SHIFT);
  // AltGr arrives as Control and Alt together; it types, it commands nothing.
  const bool command = control && !Down(VK_MENU);
  switch (key) {
    case VK_LEFT:
      document_.Move(control ? Motion::kWordLeft : Motion::kLeft, shift);
      return true;
    case VK_RIGHT:
      document_.Move(control ? Motion::kWordRight : Motion::kRight, shift);
      return true;
    case VK_HOME:
      document_.Move(control ? Motion::kTextStart : Motion::kLineStart, shift);
      return true;
    case VK_END:
      document_.Move(control ? Motion::kTextEnd : Motion::kLineEnd, shift);
      return true;
    case VK_UP:
    case VK_DOWN:
      if (control) return false;
      document_.MoveLines(key == VK_DOWN ? 1 : -1, shift);
      return true;
    case VK_PRIOR:
    case VK_NEXT: {
      const std::ptrdiff_t page = key == VK_NEXT ? VisibleLines() : -VisibleLines();
      ScrollTo(static_cast<std::ptrdiff_t>(TopLine()) + page, Left());
      document_.MoveLines(page, shift);
      return true;
    }
    case VK_DELETE:
      if (shift && !control) {
        Cut();
      } else {
        document_.DeleteForward(control);
      }
      return true;
    case VK_INSERT:
      if (control && !shift) {
        Copy();
      } else if (shift && !control) {
        Paste();
      }
      return true;
    default:
      break;
  }
  if (!command) return false;
  switch (key) {
    case 'A':
      document_.SelectAll();
      return true;
    case 'C':
      Copy();
      return true;
    case 'X':
      Cut();
      return true;
    case 'V':
      Paste();
      return true;
    case 'Z':
      if (shift) {
        document_.Redo();
      } else {
        document_.Undo();
      }
      return true;
    case 'Y':
      document_.Redo();
      return true;
    default:
      return false;
  }
}

void TextControl::OnChar(char16_t unit) {
  switch (unit) {
    case kEnter:
      document_.InsertLineBreak();
      return;
    case kBackspace:
      // Control+Backspace arrives as DEL on some systems, as BS on others.
      document_.DeleteBackward(Down(VK_CONTROL));
      return;
    case kControlBackspace:
      document_.DeleteBackward(true);
      return;
    default:
      break;
  }
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
