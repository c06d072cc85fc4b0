#pragma once
// The fast path under the runtime's text operations: the same results as
// the plain loops, in the widest vector instructions the processor has.
// README.md says what each part of it buys. Depends on nothing of ours.
#include <cstddef>
#include <string>
#include <string_view>

namespace host::fast {

/// Every `unit` in `text` replaced by `with`, as Replace with start 1,
/// count -1 and binary comparison does. A text in which nothing is found
/// comes back as it is. A result no longer than the text is made in the
/// text's own storage, and so is a longer one the storage has room for,
/// unless the text is long enough for its pages to move under a new one.
std::u16string ReplaceEveryUnit(std::u16string&& text, char16_t unit, std::u16string_view with);

/// First position of `unit` in [first, last), or `last`.
const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// First TAB or surrogate (U+D800 to U+DFFF) in [first, last), or `last`:
/// the units a line's layout cannot simply add up.
const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last);

/// Number of positions of `unit` in [first, last).
std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// What a search for line starts found: how many it wrote, and where it
/// stopped (the end of the range, or earlier when the room ran short).
struct LineStarts {
  std::size_t count;
  const char16_t* stop;
};

/// The start behind every CR LF whose LF lies in [first, last), as offsets
/// from `text` (first >= text; the unit before `first` is read when there
/// is one), written to `out` until `room` (at least 1) is used up.
LineStarts FindLineStarts(const char16_t* text, const char16_t* first, const char16_t* last,
                          std::size_t* out, std::size_t room);

/// The ASCII loops below take whole vector registers only, leaving the
/// rest to the caller, and never write past out + size; each returns how
/// many it took. WidenAscii widens the ASCII bytes leading [in, in + size)
/// to `out`, NarrowAscii narrows the units below 0x80 leading it, and
/// AsciiUnits counts those units.
std::size_t WidenAscii(const char* in, std::size_t size, char16_t* out);
std::size_t NarrowAscii(const char16_t* in, std::size_t size, char* out);
std::size_t AsciiUnits(const char16_t* in, std::size_t size);

}  // namespace host::fast
