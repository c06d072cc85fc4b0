#include "host/textbox/text_commands.h"

namespace host {
namespace {

constexpr char16_t kBackspaceUnit = 0x08;
constexpr char16_t kControlBackspaceUnit = 0x7F;  // Control+Backspace on some systems
constexpr char16_t kEnterUnit = u'\r';

KeyCommand Movement(Key key, bool control, bool shift) {
  switch (key) {
    case Key::kLeft: return {control ? Command::kWordLeft : Command::kLeft, shift};
    case Key::kRight: return {control ? Command::kWordRight : Command::kRight, shift};
    case Key::kHome: return {control ? Command::kTextStart : Command::kLineStart, shift};
    case Key::kEnd: return {control ? Command::kTextEnd : Command::kLineEnd, shift};
    case Key::kUp: return {control ? Command::kNone : Command::kLineUp, shift};
    case Key::kDown: return {control ? Command::kNone : Command::kLineDown, shift};
    case Key::kPageUp: return {Command::kPageUp, shift};
    case Key::kPageDown: return {Command::kPageDown, shift};
    default: return {};
  }
}

}  // namespace

KeyCommand CommandForKey(Key key, KeyModifiers modifiers) {
  const bool control = modifiers.control && !modifiers.alt;
  const bool shift = modifiers.shift;
  if (const KeyCommand movement = Movement(key, control, shift); movement.command != Command::kNone) {
    return movement;
  }
  switch (key) {
    case Key::kBackspace: return {control ? Command::kDeleteWordBackward : Command::kDeleteBackward};
    case Key::kDelete:
      if (shift && !control) return {Command::kCut};
      return {control ? Command::kDeleteWordForward : Command::kDeleteForward};
    case Key::kInsert:
      if (control && !shift) return {Command::kCopy};
      if (shift && !control) return {Command::kPaste};
      return {};
    case Key::kEnter: return {Command::kLineBreak};
    default: break;
  }
  if (!control) return {};
  switch (key) {
    case Key::kA: return {shift ? Command::kNone : Command::kSelectAll};
    case Key::kC: return {shift ? Command::kNone : Command::kCopy};
    case Key::kX: return {shift ? Command::kNone : Command::kCut};
    case Key::kV: return {shift ? Command::kNone : Command::kPaste};
    case Key::kZ: return {shift ? Command::kRedo : Command::kUndo};
    case Key::kY: return {shift ? Command::kNone : Command::kRedo};
    default: return {};
  }
}

Command CommandForCharacter(char16_t unit, bool control) {
  switch (unit) {
    case kEnterUnit: return Command::kLineBreak;
    case kBackspaceUnit: return control ? Command::kDeleteWordBackward : Command::kDeleteBackward;
    case kControlBackspaceUnit: return Command::kDeleteWordBackward;
    default: return Command::kNone;
  }
}

}  // namespace host
