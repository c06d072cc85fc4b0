#include "host/runtime/utf8.h"

#include <algorithm>

#include "host/fastpath/fastpath.h"

namespace host {
namespace {

[[noreturn]] void Invalid(const char* what, std::size_t offset) {
  throw EncodingError(what, offset);
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

// Where a vector block would hold a non-ASCII unit, this many are handled
// one at a time before the vector loop is tried again.
constexpr std::size_t kScalarStretch = 32;

}  // namespace

std::size_t Utf8ToUtf16Into(std::string_view bytes, char16_t* out) {
  char16_t* const start = out;
  const std::size_t size = bytes.size();
  for (std::size_t at = 0; at < size;) {
    auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      const std::size_t run = fast::WidenAscii(bytes.data() + at, size - at, out);
      at += run;
      out += run;
      for (std::size_t stop = std::min(size, at + kScalarStretch);
           at < stop && (lead = static_cast<unsigned char>(bytes[at])) < 0x80; ++at) {
        *out++ = lead;
      }
      continue;
    }
    const Lead kind = Classify(lead);
    if (kind.length == 0) Invalid("invalid UTF-8 lead byte", at);
    if (kind.length > size - at) Invalid("UTF-8 sequence cut short", at);
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
      *out++ = static_cast<char16_t>(0xD800 + (code >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      *out++ = static_cast<char16_t>(code);
    }
    at += kind.length;
  }
  return static_cast<std::size_t>(out - start);
}

std::size_t Utf16ToUtf8Into(StringView text, char* out) {
  char* const start = out;
  const std::size_t size = text.size();
  for (std::size_t at = 0; at < size;) {
    char32_t code = text[at];
    if (code < 0x80) {
      const std::size_t run = fast::NarrowAscii(text.data() + at, size - at, out);
      at += run;
      out += run;
      for (std::size_t stop = std::min(size, at + kScalarStretch); at < stop && text[at] < 0x80;
           ++at) {
        *out++ = static_cast<char>(text[at]);
      }
      continue;
    }
    if (code >= 0xD800 && code <= 0xDBFF && at + 1 < size && text[at + 1] >= 0xDC00 &&
        text[at + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[at + 1] - 0xDC00);
      ++at;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      Invalid("unpaired UTF-16 surrogate", at);
    }
    if (code < 0x800) {
      *out++ = static_cast<char>(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
      *out++ = static_cast<char>(0xE0 | (code >> 12));
      *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    } else {
      *out++ = static_cast<char>(0xF0 | (code >> 18));
      *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
    ++at;
  }
  return static_cast<std::size_t>(out - start);
}

std::size_t Utf8Length(StringView text) {
  std::size_t length = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t run = fast::AsciiUnits(text.data() + at, text.size() - at);
    length += run;
    at += run;
    for (const std::size_t stop = std::min(text.size(), at + kScalarStretch); at < stop; ++at) {
      // A surrogate is half of a four-byte sequence.
      const char16_t unit = text[at];
      length += unit < 0x80 ? 1 : unit < 0x800 || (unit & 0xF800) == 0xD800 ? 2 : 3;
    }
  }
  return length;
}

String Utf8ToUtf16(std::string_view bytes) {
  String out(bytes.size(), u'\0');
  out.resize(Utf8ToUtf16Into(bytes, out.data()));
  return out;
}

std::string Utf16ToUtf8(StringView text) {
  // The exact length, so that the copy is never more than the text's size.
  std::string out;
  out.resize(Utf8Length(text));
  out.resize(Utf16ToUtf8Into(text, out.data()));
  return out;
}

}  // namespace host
