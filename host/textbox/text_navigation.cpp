#include "host/textbox/text_navigation.h"

#include <algorithm>

namespace host {
namespace {

enum class CharClass { kBlank, kWord, kPunctuation };

// By code unit: no blank lies outside the basic plane, so both halves of a
// pair are word characters, as the character they make is.
CharClass ClassOf(char16_t unit) {
  if (IsBlank(unit)) return CharClass::kBlank;
  if (unit < 0x80) {
    const bool word = (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') ||
                      (unit >= u'a' && unit <= u'z') || unit == u'_';
    return word ? CharClass::kWord : CharClass::kPunctuation;
  }
  return CharClass::kWord;
}

}  // namespace

bool IsLineBreakAt(StringView text, std::size_t position) {
  return position + 1 < text.size() && text[position] == u'\r' && text[position + 1] == u'\n';
}

std::size_t SnapToBoundary(StringView text, std::size_t position) {
  if (position >= text.size()) return text.size();
  if (position == 0) return 0;
  const char16_t before = text[position - 1];
  const char16_t at = text[position];
  if ((before == u'\r' && at == u'\n') || (IsHighSurrogate(before) && IsLowSurrogate(at))) {
    return position - 1;
  }
  return position;
}

std::size_t SnapForward(StringView text, std::size_t position) {
  const std::size_t before = SnapToBoundary(text, position);
  return before == std::min(position, text.size()) ? before : before + 2;
}

std::size_t NextBoundary(StringView text, std::size_t position) {
  if (position >= text.size()) return text.size();
  if (IsLineBreakAt(text, position)) return position + 2;
  return position + CodePointAt(text, position).units;
}

std::size_t PreviousBoundary(StringView text, std::size_t position) {
  position = std::min(position, text.size());
  if (position == 0) return 0;
  if (position >= 2) {
    const char16_t a = text[position - 2];
    const char16_t b = text[position - 1];
    if ((a == u'\r' && b == u'\n') || (IsHighSurrogate(a) && IsLowSurrogate(b))) {
      return position - 2;
    }
  }
  return position - 1;
}

std::size_t NextWordStart(StringView text, std::size_t position) {
  if (position >= text.size()) return text.size();
  if (IsLineBreakAt(text, position)) return position + 2;
  const CharClass first = ClassOf(text[position]);
  if (first != CharClass::kBlank) {
    while (position < text.size() && !IsLineBreakAt(text, position) &&
           ClassOf(text[position]) == first) {
      ++position;
    }
  }
  while (position < text.size() && !IsLineBreakAt(text, position) &&
         ClassOf(text[position]) == CharClass::kBlank) {
    ++position;
  }
  return position;
}

std::size_t PreviousWordStart(StringView text, std::size_t position) {
  position = SnapToBoundary(text, position);
  if (position == 0) return 0;
  if (position >= 2 && IsLineBreakAt(text, position - 2)) return position - 2;
  while (position > 0 && !IsLineBreakAt(text, position - 1) &&
         !(position >= 2 && IsLineBreakAt(text, position - 2)) &&
         ClassOf(text[position - 1]) == CharClass::kBlank) {
    --position;
  }
  if (position == 0 || (position >= 2 && IsLineBreakAt(text, position - 2))) return position;
  const CharClass run = ClassOf(text[position - 1]);
  while (position > 0 && !(position >= 2 && IsLineBreakAt(text, position - 2)) &&
         ClassOf(text[position - 1]) == run) {
    --position;
  }
  return position;
}

TextSpan WordAt(StringView text, std::size_t position) {
  position = SnapToBoundary(text, position);
  // Past the last character of a line, the word is the one before the caret.
  std::size_t probe = position;
  if (probe == text.size() || IsLineBreakAt(text, probe)) {
    if (probe == 0 || (probe >= 2 && IsLineBreakAt(text, probe - 2))) return {position, position};
    probe = PreviousBoundary(text, probe);
  }
  const CharClass run = ClassOf(text[probe]);
  std::size_t begin = probe;
  while (begin > 0 && !(begin >= 2 && IsLineBreakAt(text, begin - 2)) &&
         ClassOf(text[begin - 1]) == run) {
    --begin;
  }
  std::size_t end = probe;
  while (end < text.size() && !IsLineBreakAt(text, end) && ClassOf(text[end]) == run) ++end;
  return {begin, end};
}

}  // namespace host
