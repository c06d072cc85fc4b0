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

host::String JSONFormat(host::String text) {
  // The order matters: the input's own line breaks go first, so the CR LF
  // pairs inserted after them survive. Each step's result takes the place of
  // the text before it, the input included, so no more than two long texts
  // live at once and the next step reuses the storage just released.
  text = ReplaceEvery(text, kTab, kNothing);
  text = ReplaceEvery(text, kLineFeed, kNothing);
  text = ReplaceEvery(text, kOpenBrace, kOpenBraceBreak);
  text = ReplaceEvery(text, kCloseBrace, kBreakCloseBrace);
  text = ReplaceEvery(text, kComma, kLineBreak);
  return text;
}

}  // namespace convert
