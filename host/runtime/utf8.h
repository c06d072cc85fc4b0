#pragma once
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/runtime/string.h"

namespace host {

/// Text that is not well-formed UTF-8 (or UTF-16). The message names the
/// byte or code-unit offset of the first fault.
class EncodingError : public std::runtime_error {
 public:
  EncodingError(const std::string& fault, std::size_t offset)
      : std::runtime_error(fault + " at offset " + std::to_string(offset)),
        fault_(fault),
        offset_(offset) {}

  /// What is wrong, without the offset.
  const std::string& Fault() const { return fault_; }
  std::size_t Offset() const { return offset_; }

 private:
  std::string fault_;
  std::size_t offset_;
};

/// Strict UTF-8 to UTF-16: overlong forms, surrogates, code points past
/// U+10FFFF and cut sequences are rejected.
String Utf8ToUtf16(std::string_view bytes);

/// UTF-16 to UTF-8; an unpaired surrogate is rejected.
std::string Utf16ToUtf8(StringView text);

/// Utf8ToUtf16 into `out`, which has room for bytes.size() units (never
/// more are needed); returns the units written. Nothing is written beyond
/// the units of the text. Runs of ASCII are widened a vector register at a
/// time.
std::size_t Utf8ToUtf16Into(std::string_view bytes, char16_t* out);

/// Utf16ToUtf8 into `out`, which has room for Utf8Length(text) bytes, or
/// 3 * text.size() without counting; returns the bytes written. Nothing is
/// written beyond the bytes of the text. Runs of ASCII are narrowed a
/// vector register at a time.
std::size_t Utf16ToUtf8Into(StringView text, char* out);

/// Bytes the UTF-8 form of `text` takes (counting an unpaired surrogate as
/// if it were paired).
std::size_t Utf8Length(StringView text);

}  // namespace host
