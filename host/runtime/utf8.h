#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/runtime/string.h"

namespace host {

/// Text that is not well-formed UTF-8 (or UTF-16). The message names the
/// byte or code-unit offset of the first fault.
class EncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Strict UTF-8 to UTF-16: overlong forms, surrogates, code points past
/// U+10FFFF and cut sequences are rejected.
String Utf8ToUtf16(std::string_view bytes);

/// UTF-16 to UTF-8; an unpaired surrogate is rejected.
std::string Utf16ToUtf8(StringView text);

}  // namespace host
