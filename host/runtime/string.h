#pragma once
// The host's counted wide string: one UTF-16 code unit per character, the
// empty string included. Whoever receives a String owns it.
#include <string>
#include <string_view>

namespace host {

using String = std::u16string;
using StringView = std::u16string_view;

}  // namespace host
