#pragma once
#include <string>
#include <string_view>

#include "host/runtime/string.h"

namespace host::win32 {

// The Windows API's wide characters and the host's strings are the same
// UTF-16 code units under two type names.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

/// UTF-8 (design captions, error texts) to UTF-16 and back. Invalid
/// sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace host::win32
