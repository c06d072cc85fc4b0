#pragma once
// The host's counted wide string: one UTF-16 code unit per character, the
// empty string included. Whoever receives a String owns it.
#include <string>
#include <string_view>

#include "host/runtime/text_storage.h"

namespace host {

using String = std::basic_string<char16_t, std::char_traits<char16_t>, TextAllocator<char16_t>>;
using StringView = std::u16string_view;

}  // namespace host
