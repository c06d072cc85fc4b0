#include "convert/json_format.h"

#include <utility>

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

host::String ReplaceEvery(host::String&& text, host::StringView find, host::StringView with) {
  return host::Replace(std::move(text), find, with, 1, -1, host::Compare::kBinary);
}

}  // namespace

host::String JSONFormat(host::String text) {
  // The order matters: the input's own line breaks go first, so the CR LF
  // pairs inserted after them survive. Each step is handed the text before
  // it, the input included: a step that finds nothing gives it back as it
  // is, one that only removes works in its storage, and one that inserts
  // releases it once the new text is made, so no more than two long texts
  // live at once.
  text = ReplaceEvery(std::move(text), kTab, kNothing);
  text = ReplaceEvery(std::move(text), kLineFeed, kNothing);
  text = ReplaceEvery(std::move(text), kOpenBrace, kOpenBraceBreak);
  text = ReplaceEvery(std::move(text), kCloseBrace, kBreakCloseBrace);
  text = ReplaceEvery(std::move(text), kComma, kLineBreak);
  return text;
}

}  // namespace convert
