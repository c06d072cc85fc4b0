#pragma once
#include <cstddef>

#include "host/runtime/string.h"
#include "host/textbox/text_document.h"
#include "host/textbox/text_navigation.h"

namespace host {

/// The units a screen reader moves through a text by. A line is also a
/// paragraph, as CR LF ends both and the box never wraps; the whole text is
/// one format and one page.
enum class ReaderUnit { kCharacter, kWord, kLine, kDocument };

/// A document's text cut into units of one kind, as a reader's text range
/// moves by them: each unit starts where the one before ends, so that a walk
/// by units reads the whole text once. A character is a grapheme cluster as
/// the box shows it, a line break counting as one; a word runs from a stop
/// of Ctrl+Right to the next, so it takes the blanks after it, and a line
/// break is a word of its own; a line takes its break. A word longer than
/// kReaderWordReach is cut into pieces of about that length, so that no
/// step looks through more text than that.
class ReaderUnits {
 public:
  ReaderUnits(const TextDocument& document, ReaderUnit unit) : document_(document), unit_(unit) {}

  std::size_t Size() const { return document_.Size(); }
  /// The start of the next unit after `position`, or the text's end.
  std::size_t Next(std::size_t position) const;
  /// The start of the unit `position` is inside, or of the unit before
  /// when it is on a unit's start; 0 at the text's start.
  std::size_t Previous(std::size_t position) const;
  /// The unit holding `position`; at the text's end, the last unit.
  TextSpan At(std::size_t position) const;

 private:
  // The start of the unit holding `position`, which is before the end.
  std::size_t StartAtOrBefore(std::size_t position) const;

  const TextDocument& document_;
  ReaderUnit unit_;
};

/// The most units of a box's text handed to a reader at once: a reader
/// asking for a text of many megabytes gets its start, never all of it.
inline constexpr std::size_t kReaderTextCap = std::size_t{1} << 20;

/// A box's text as a reader's value: all of it up to kReaderTextCap units,
/// else its start up to a character boundary and how many units follow.
String ReaderValue(StringView text);

/// A range kept across edits, its ends put back inside the text and onto
/// boundaries, never crossed.
TextSpan ClampRange(StringView text, TextSpan range);

/// Moves `range` by `count` units, back if negative, as a reader's text
/// range moves: a range holding text becomes the unit it lands on and never
/// lands after the last unit; an empty range stays empty and may land on
/// the text's end; a move by 0 changes nothing. Answers how many units it
/// moved.
int MoveRange(const ReaderUnits& units, TextSpan& range, int count);

/// Moves the range's start, or its end if `end`, by `count` units; the
/// other endpoint goes along where it would be crossed. Answers how many
/// units it moved.
int MoveEndpoint(const ReaderUnits& units, TextSpan& range, bool end, int count);

}  // namespace host
