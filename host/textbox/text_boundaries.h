#pragma once
#include <cstddef>

#include "host/runtime/string.h"
#include "host/textbox/text_navigation.h"

namespace host {

/// How far a reader's word is looked for on either side of an offset, so
/// that a line of megabytes costs no more than a short one; a longer word is
/// cut there.
inline constexpr std::size_t kReaderWordReach = 4096;

/// The word a screen reader is given at `offset` in `line` (a line's text
/// without its break), as platform text boxes answer it: from the start of
/// the word at or before `offset` to that word's end. A word is a run of
/// characters that are neither blanks nor punctuation, or a run of
/// punctuation; blanks belong to no word, so an offset on a blank gives the
/// word before it.
TextSpan ReaderWordAt(StringView line, std::size_t offset);

}  // namespace host
