#pragma once
#include <string_view>

namespace host {

/// The short name a text box shows, in a small box one cell wide, for a
/// character that has no picture of its own: controls (a lone CR or LF
/// among them), the line and paragraph separators, and unpaired surrogates.
/// Empty for every character that is drawn as it is; TAB advances to the
/// next tab stop instead.
std::string_view ControlMark(char32_t character);

}  // namespace host
