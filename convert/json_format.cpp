#include "convert/json_format.h"

#include "host/runtime/replace.h"

namespace convert {
namespace {

constexpr host::StringView kTab = u"\t";
constexpr host::StringView kLineFeed = u"\n";
constexpr host::StringView kLineBreak = u"\r\n";
constexpr host::StringView kOpenBrace = u"{";
constexpr host::StringView kCloseBrace = u"}";
constexpr host::StringView kComma = u",";
constexpr host::StringView kNothing = u"";
constexpr host::StringView kOpenBraceBreak = u"{\r\n";
constexpr host::StringView kBreakCloseBrace = u"\r\n}";

host::String ReplaceEvery(host::StringView text, host::StringView find, host::StringView with) {
  return host::Replace(text, find, with, 1, -1, host::Compare::kBinary);
}

}  // namespace

host::String JSONFormat(host::StringView text) {
  // The order matters: the input's own line breaks go first, so the CR LF
  // pairs inserted after them survive. Each step releases the one before.
  host::String readable = ReplaceEvery(text, kTab, kNothing);
  readable = ReplaceEvery(readable, kLineFeed, kNothing);
  readable = ReplaceEvery(readable, kOpenBrace, kOpenBraceBreak);
  readable = ReplaceEvery(readable, kCloseBrace, kBreakCloseBrace);
  readable = ReplaceEvery(readable, kComma, kLineBreak);
  return readable;
}

}  // namespace convert
