#pragma once
#include <concepts>
#include <cstdint>
#include <utility>

#include "host/runtime/string.h"

namespace host {

enum class Compare : std::int32_t { kBinary = 0, kText = 1 };

/// Substring replacement. Returns a new string: `text` from the 1-based
/// position `start` on, with up to `count` occurrences of `find` replaced by
/// `with` (count -1: all). The scan goes on behind each replacement, so
/// inserted text is never searched again. Only binary comparison is
/// supported; any other argument the call cannot honour raises a
/// RuntimeError instead of giving a wrong result.
String Replace(StringView text, StringView find, StringView with, std::int32_t start = 1,
               std::int32_t count = -1, Compare compare = Compare::kBinary);

/// Replace, for a text the caller gives up (an rvalue String). Every
/// occurrence of one unit from the start, the whole of what a conversion
/// asks for, goes through the fast path, which gives the same result.
String ReplaceOwned(String&& text, StringView find, StringView with, std::int32_t start,
                    std::int32_t count, Compare compare);

template <class Text>
  requires std::same_as<Text, String>
String Replace(Text&& text, StringView find, StringView with, std::int32_t start = 1,
               std::int32_t count = -1, Compare compare = Compare::kBinary) {
  return ReplaceOwned(std::move(text), find, with, start, count, compare);
}

/// A new string: `left` followed by `right`.
String StrCat(StringView left, StringView right);

}  // namespace host
