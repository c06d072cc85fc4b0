#pragma once
#include <cstddef>

namespace host {

/// First position of `unit` in [first, last), or `last`. Vectorised where
/// the target has SSE2, since every conversion pass is bound by this search.
const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// Number of positions of `unit` in [first, last).
std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit);

}  // namespace host
