#pragma once
// Text for tests built from code points, as Unicode's test files give them.
#include <fstream>
#include <string>

#include "host/runtime/string.h"

namespace host::testing_text {

/// Appends `code` to `text` in UTF-16.
inline void AppendCodePoint(String& text, char32_t code) {
  if (code < 0x10000) {
    text += static_cast<char16_t>(code);
  } else {
    text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
    text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
  }
}

/// One of Unicode's data files as the Debian package unicode-data installs it.
inline std::ifstream UnicodeFile(const std::string& name) { return std::ifstream("/usr/share/unicode/" + name); }

}  // namespace host::testing_text
