#include "host/textbox/text_editor.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "host/textbox/line_breaks.h"
#include "host/textbox/text_navigation.h"

namespace host {
namespace {

constexpr int kNotch = 120;

// Takes the whole notches out of `rest`, keeping what is short of one.
int Notches(int& rest, int turn) {
  rest += turn;
  const int notches = rest / kNotch;
  rest -= notches * kNotch;
  return notches;
}

}  // namespace

TextEditor::TextEditor(TextDocument& document, TextBoxSurface& surface, const TextBoxConventions& conventions)
    : document_(document), surface_(surface), conventions_(conventions) {}

bool TextEditor::PressKey(Key key, KeyModifiers modifiers) {
  clicks_ = 0;  // a key between two clicks makes them no double click
  const KeyCommand command = CommandForKey(key, modifiers);
  if (command.command == Command::kNone) return false;
  Run(command.command, command.extend);
  return true;
}

bool TextEditor::PressCharacter(char16_t unit, bool control) {
  const Command command = CommandForCharacter(unit, control);
  if (command == Command::kNone) return false;
  Run(command);
  return true;
}

void TextEditor::Run(Command command, bool extend) {
  const auto page = static_cast<std::ptrdiff_t>(surface_.PageLines());
  switch (command) {
    case Command::kNone: return;
    case Command::kLeft: return document_.Move(Motion::kLeft, extend);
    case Command::kRight: return document_.Move(Motion::kRight, extend);
    case Command::kWordLeft: return document_.Move(Motion::kWordLeft, extend);
    case Command::kWordRight: return document_.Move(Motion::kWordRight, extend);
    case Command::kLineStart: return document_.Move(Motion::kLineStart, extend);
    case Command::kLineEnd: return document_.Move(Motion::kLineEnd, extend);
    case Command::kTextStart: return document_.Move(Motion::kTextStart, extend);
    case Command::kTextEnd: return document_.Move(Motion::kTextEnd, extend);
    case Command::kLineUp: return document_.MoveLines(-1, extend);
    case Command::kLineDown: return document_.MoveLines(1, extend);
    case Command::kPageUp:
      surface_.ScrollBy(-page, 0);
      return document_.MoveLines(-page, extend);
    case Command::kPageDown:
      surface_.ScrollBy(page, 0);
      return document_.MoveLines(page, extend);
    case Command::kDeleteBackward: return document_.DeleteBackward(false);
    case Command::kDeleteWordBackward: return document_.DeleteBackward(true);
    case Command::kDeleteForward: return document_.DeleteForward(false);
    case Command::kDeleteWordForward: return document_.DeleteForward(true);
    case Command::kDeleteSelection: return document_.DeleteSelection();
    case Command::kLineBreak: return document_.InsertLineBreak();
    case Command::kSelectAll: return document_.SelectAll();
    case Command::kCut:
      // What could not be copied is not deleted.
      if (Copy()) document_.DeleteSelection();
      return;
    case Command::kCopy:
      Copy();
      return;
    case Command::kPaste: return Paste(Clipboard::kClipboard);
    case Command::kUndo: return document_.Undo();
    case Command::kRedo: return document_.Redo();
  }
}

bool TextEditor::CanRun(Command command, bool clipboard_has_text) const {
  switch (command) {
    case Command::kUndo: return document_.CanUndo();
    case Command::kRedo: return document_.CanRedo();
    case Command::kCut:
    case Command::kCopy:
    case Command::kDeleteSelection: return document_.HasSelection();
    case Command::kPaste: return clipboard_has_text;
    case Command::kSelectAll: return document_.Size() != 0;
    default: return command != Command::kNone;
  }
}

std::vector<MenuEntry> TextEditor::ContextMenu(bool clipboard_has_text) const {
  std::vector<Command> commands{Command::kUndo};
  if (conventions_.menu_has_redo) commands.push_back(Command::kRedo);
  for (const Command command : {Command::kNone, Command::kCut, Command::kCopy, Command::kPaste,
                                Command::kDeleteSelection, Command::kNone, Command::kSelectAll}) {
    commands.push_back(command);
  }
  std::vector<MenuEntry> entries;
  for (const Command command : commands) entries.push_back({command, CanRun(command, clipboard_has_text)});
  return entries;
}

bool TextEditor::Copy() {
  if (!document_.HasSelection()) return false;
  const String text = document_.SelectedText();
  return surface_.WriteClipboard(conventions_.copy_makes_lf ? CrLfToLf(text) : text);
}

void TextEditor::Paste(Clipboard which) {
  std::optional<String> text;
  try {
    text = surface_.ReadClipboard(which);
  } catch (const std::bad_alloc&) {
    surface_.PasteRefused(0);
    return;
  }
  if (text) PasteText(std::move(*text));
}

void TextEditor::PasteText(String text) {
  if (text.empty()) return;
  const std::size_t units = text.size();
  try {
    document_.Paste(conventions_.paste_makes_crlf ? ToCrLf(text) : std::move(text));
  } catch (const std::bad_alloc&) {
    // The document is as it was; the user hears why nothing came.
    surface_.PasteRefused(units);
  }
}

void TextEditor::SelectionChanged() {
  if (document_.HasSelection() && surface_.HasPrimary()) surface_.OfferPrimary();
}

void TextEditor::PastePrimaryAt(std::size_t position) {
  if (!surface_.HasPrimary()) return;
  document_.MoveTo(position, false);
  Paste(Clipboard::kPrimary);
}

TextSpan TextEditor::UnitAt(std::size_t position, Unit unit) const {
  const StringView text = document_.Text();
  switch (unit) {
    case Unit::kCharacter: break;
    case Unit::kWord: {
      TextSpan word = WordAt(text, position);
      if (conventions_.word_takes_trailing_blanks) {
        while (word.end < text.size() && !IsLineBreakAt(text, word.end) && IsBlank(text[word.end])) ++word.end;
      }
      return word;
    }
    case Unit::kLine: {
      const std::size_t line = document_.LineOf(position);
      const std::size_t next = line + 1;
      return {document_.LineStart(line), next < document_.LineCount() ? document_.LineStart(next) : document_.Size()};
    }
  }
  return {position, position};
}

void TextEditor::Press(const PointerPress& press, ClickLimits limits) {
  const bool series = clicks_ > 0 && !press.extend && press.time_ms - last_press_.time_ms <= limits.interval_ms &&
                      std::abs(press.x - last_press_.x) <= limits.distance &&
                      std::abs(press.y - last_press_.y) <= limits.distance;
  // The system's count holds unless something came between the clicks
  // that the system does not see, such as a key.
  if (press.clicks > 0) {
    clicks_ = clicks_ == 0 ? 1 : std::min(press.clicks, conventions_.click_series);
  } else {
    clicks_ = series ? clicks_ % conventions_.click_series + 1 : 1;
  }
  last_press_ = press;
  unit_ = clicks_ == 3 ? Unit::kLine : clicks_ == 2 ? Unit::kWord : Unit::kCharacter;
  dragging_ = true;
  if (unit_ == Unit::kCharacter) {
    document_.MoveTo(press.position, press.extend);
    pressed_ = {document_.Caret(), document_.Caret()};
    return;
  }
  pressed_ = UnitAt(press.position, unit_);
  document_.SetSelection(pressed_.begin, pressed_.end);
}

void TextEditor::Drag(std::size_t position) {
  if (!dragging_) return;
  if (unit_ == Unit::kCharacter) return document_.MoveTo(position, true);
  // The unit pressed stays selected whole; the selection grows from it by
  // whole units towards the pointer.
  const TextSpan at = UnitAt(position, unit_);
  if (position < pressed_.begin) return document_.SetSelection(pressed_.end, at.begin);
  return document_.SetSelection(pressed_.begin, std::max(pressed_.end, at.end));
}

void TextEditor::Wheel(int across, int down, bool shift) {
  if (shift) across += std::exchange(down, 0);
  const int lines = Notches(wheel_down_, down);
  const int columns = Notches(wheel_across_, across);
  if (lines == 0 && columns == 0) return;
  surface_.ScrollBy(-static_cast<std::ptrdiff_t>(lines) * static_cast<std::ptrdiff_t>(surface_.WheelLines()),
                    -columns * surface_.WheelPixels());
}

}  // namespace host
