#pragma once

namespace host {

/// The keys a text box answers, named apart from any window system.
enum class Key {
  kLeft, kRight, kUp, kDown, kHome, kEnd, kPageUp, kPageDown,
  kBackspace, kDelete, kInsert, kEnter,
  kA, kC, kV, kX, kY, kZ,
};

struct KeyModifiers {
  bool control = false;
  bool shift = false;
  bool alt = false;
};

/// What a text box does, whichever key, menu or client asks for it.
enum class Command {
  kNone,
  kLeft, kRight, kWordLeft, kWordRight, kLineStart, kLineEnd, kTextStart, kTextEnd,
  kLineUp, kLineDown, kPageUp, kPageDown,
  kDeleteBackward, kDeleteWordBackward, kDeleteForward, kDeleteWordForward, kDeleteSelection,
  kLineBreak, kSelectAll, kCut, kCopy, kPaste, kUndo, kRedo,
};

struct KeyCommand {
  Command command = Command::kNone;
  bool extend = false;  // Shift held on a movement: the selection grows
};

/// The one table of the keys a text box takes. kNone leaves the key to the
/// window (Tab, Control with an arrow up or down, shortcuts of its own).
/// AltGr arrives as Control and Alt together: it types, it commands nothing.
KeyCommand CommandForKey(Key key, KeyModifiers modifiers);

/// Where a window system delivers Enter and Backspace as characters, what
/// each such character does; kNone for a character that is typed.
Command CommandForCharacter(char16_t unit, bool control);

}  // namespace host
