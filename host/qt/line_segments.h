#pragma once
#include <cstddef>

#include "host/runtime/string.h"
#include "host/textbox/line_cuts.h"

namespace host::qt {

// What Qt knows of the characters, for the engine's cuts of long lines: a
// cut keeps each right-to-left run whole where it can, since the segments
// on either side of it are each put in reading order alone.

/// Whether a grapheme cluster starts at `at`.
bool BreaksBefore(StringView line, std::size_t at);
/// True unless right-to-left text stands on both sides of `at` (numbers
/// after it counting as such); text beyond reach counts as left to right,
/// the paragraph's own direction.
bool KeepsRunsWhole(StringView line, std::size_t at);
/// Whether one specific script ends and another starts at `at`.
bool IsScriptChange(StringView line, std::size_t at);

inline constexpr CutRules kScriptCuts{
    .starts_cluster = &BreaksBefore, .keeps_order = &KeepsRunsWhole, .script_change = &IsScriptChange};

}  // namespace host::qt
