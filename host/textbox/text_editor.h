#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/textbox/text_box_surface.h"
#include "host/textbox/text_commands.h"
#include "host/textbox/text_document.h"

namespace host {

/// A press of the main mouse button, as the window system reports it.
struct PointerPress {
  std::size_t position = 0;  // the caret position under the pointer
  std::int64_t time_ms = 0;  // the event's time stamp
  int x = 0;
  int y = 0;
  bool extend = false;  // Shift held: the selection grows to here
  /// The press's place in its series where the system counts them; 0 to
  /// count them here by time and place. A key or an edit since the last
  /// press starts a new series either way.
  int clicks = 0;
};

/// How close in time and place presses must be to count as one series.
struct ClickLimits {
  int interval_ms = 400;
  int distance = 4;
};

/// An entry of a text box's context menu; kNone stands for a separator.
struct MenuEntry {
  Command command = Command::kNone;
  bool enabled = false;
};

/// Everything a text box does with its input that needs no window system:
/// keys and characters become commands of the document, the mouse selects
/// by characters, words or lines, the wheel scrolls, and the clipboard is
/// read and written by the platform's conventions. A backend turns its
/// events into calls here and carries out what the surface is asked.
class TextEditor {
 public:
  TextEditor(TextDocument& document, TextBoxSurface& surface, const TextBoxConventions& conventions);

  /// Carries out a key's command; false if the key is not the box's.
  bool PressKey(Key key, KeyModifiers modifiers);
  /// Carries out Enter or Backspace delivered as a character; false for a
  /// character that is to be typed.
  bool PressCharacter(char16_t unit, bool control);
  void Run(Command command, bool extend = false);
  bool CanRun(Command command, bool clipboard_has_text) const;

  /// The context menu's entries, enabled as they apply now.
  std::vector<MenuEntry> ContextMenu(bool clipboard_has_text) const;

  /// A press starts a series of clicks: the first places the caret, the
  /// second selects a word, the third the line.
  void Press(const PointerPress& press, ClickLimits limits);
  /// The pointer moved with the button held: the selection follows it by
  /// whatever the press selected.
  void Drag(std::size_t position);
  void Release() { dragging_ = false; }
  bool Dragging() const { return dragging_; }

  /// The text changed: the next press starts a new series of clicks.
  void TextChanged() { clicks_ = 0; }
  /// The selection changed: a selection the user can see is offered as
  /// the primary selection, where the window system has one.
  void SelectionChanged();
  /// A press of the middle button: the primary selection is pasted there.
  void PastePrimaryAt(std::size_t position);
  /// A clipboard's text that the surface read later than asked, as it does
  /// when reading takes long: pasted at the selection as it is now, as one
  /// step, or refused when memory cannot hold it.
  void PasteText(String text);

  /// A turn of the wheel in eighths of a degree (120 to a notch), positive
  /// away from the user or to the left; Shift turns the vertical wheel into
  /// the horizontal one.
  void Wheel(int across, int down, bool shift);

 private:
  enum class Unit { kCharacter, kWord, kLine };

  TextSpan UnitAt(std::size_t position, Unit unit) const;
  bool Copy();
  void Paste(Clipboard which);

  TextDocument& document_;
  TextBoxSurface& surface_;
  const TextBoxConventions& conventions_;
  bool dragging_ = false;
  Unit unit_ = Unit::kCharacter;
  TextSpan pressed_;  // what the press selected, kept whole while dragging
  int clicks_ = 0;
  PointerPress last_press_;
  int wheel_across_ = 0;  // turns short of a notch
  int wheel_down_ = 0;
};

}  // namespace host
