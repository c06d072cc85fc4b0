#include "host/runtime/utf8.h"

namespace host {
namespace {

[[noreturn]] void Invalid(const char* what, std::size_t offset) {
  throw EncodingError(std::string(what) + " at offset " + std::to_string(offset));
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the sequence led by `lead` and the smallest code point it may
// encode, or 0 for a byte that cannot lead.
struct Lead {
  std::size_t length;
  char32_t minimum;
  char32_t bits;
};

Lead Classify(unsigned char lead) {
  if (lead < 0x80) return {1, 0, lead};
  if ((lead & 0xE0) == 0xC0) return {2, 0x80, lead & 0x1Fu};
  if ((lead & 0xF0) == 0xE0) return {3, 0x800, lead & 0x0Fu};
  if ((lead & 0xF8) == 0xF0) return {4, 0x10000, lead & 0x07u};
  return {0, 0, 0};
}

}  // namespace

String Utf8ToUtf16(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {  // the common case, kept short
      out.push_back(lead);
      ++at;
      continue;
    }
    const Lead kind = Classify(lead);
    if (kind.length == 0) Invalid("invalid UTF-8 lead byte", at);
    if (kind.length > bytes.size() - at) Invalid("UTF-8 sequence cut short", at);
    char32_t code = kind.bits;
    for (std::size_t i = 1; i < kind.length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      if (!IsContinuation(next)) Invalid("UTF-8 sequence cut short", at);
      code = code << 6 | (next & 0x3Fu);
    }
    if (code < kind.minimum) Invalid("overlong UTF-8 sequence", at);
    if (code >= 0xD800 && code <= 0xDFFF) Invalid("UTF-8 encoded surrogate", at);
    if (code > 0x10FFFF) Invalid("UTF-8 code point past U+10FFFF", at);
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    at += kind.length;
  }
  return out;
}

std::string Utf16ToUtf8(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    char32_t code = text[at];
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
      continue;
    }
    if (code >= 0xD800 && code <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[at + 1] - 0xDC00);
      ++at;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      Invalid("unpaired UTF-16 surrogate", at);
    }
    if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
  return out;
}

}  // namespace host
