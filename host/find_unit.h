#pragma once
#include <cstddef>

namespace host {

/// First position of `unit` in [first, last), or `last`. Vectorised where
/// the target has SSE2, since every conversion pass is bound by this search.
const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// First TAB or surrogate (U+D800 to U+DFFF) in [first, last), or `last`:
/// the units a line's layout cannot simply add up.
const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last);

/// Number of positions of `unit` in [first, last).
std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit);

}  // namespace host
