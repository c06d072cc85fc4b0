#pragma once
#include <cstddef>

#include "host/runtime/string.h"

namespace host::qt {

// Grapheme cluster boundaries (an emoji sequence, a flag, a letter with its
// combining marks, a Hangul syllable, CR LF) found in a short window of the
// text around a position, so that a line of megabytes costs no more than a
// short one. The window starts at an ASCII character, before which a cluster
// always breaks; without one nearby, at most a rare long cluster is split.

bool IsClusterBoundary(StringView text, std::size_t position);
/// The first boundary after `position` (the end of the text at most).
std::size_t NextCluster(StringView text, std::size_t position);
/// The last boundary before `position` (0 at least).
std::size_t PreviousCluster(StringView text, std::size_t position);
/// `position` if it is a boundary, else the boundary before it.
std::size_t SnapToCluster(StringView text, std::size_t position);

}  // namespace host::qt
