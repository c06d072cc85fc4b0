#pragma once
#include <cstddef>

#include "host/runtime/string.h"
#include "host/textbox/code_points.h"

namespace host {

// Caret positions in a text box: never between the CR and LF of a line break
// nor between the halves of a surrogate pair. Unpaired units stand alone.

/// Whether [position, position + 2) is a CR LF line break.
bool IsLineBreakAt(StringView text, std::size_t position);

/// Moves a position that falls inside a line break or a pair back onto the
/// boundary before it.
std::size_t SnapToBoundary(StringView text, std::size_t position);
/// Moves a position that falls inside a line break or a pair on, onto the
/// boundary after it.
std::size_t SnapForward(StringView text, std::size_t position);
std::size_t NextBoundary(StringView text, std::size_t position);
std::size_t PreviousBoundary(StringView text, std::size_t position);

/// The start of the next word (Ctrl+Right) and of this or the previous word
/// (Ctrl+Left). A line break is a stop of its own.
std::size_t NextWordStart(StringView text, std::size_t position);
std::size_t PreviousWordStart(StringView text, std::size_t position);

struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

/// The run of word, blank or punctuation characters around `position`, as a
/// double click selects it.
TextSpan WordAt(StringView text, std::size_t position);

}  // namespace host
