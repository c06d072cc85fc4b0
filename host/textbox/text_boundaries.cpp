#include "host/textbox/text_boundaries.h"

#include <algorithm>
#include <string_view>

namespace host {
namespace {

// The punctuation that ends a word and makes a word of its own.
constexpr std::u16string_view kSeparators = u".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\";

bool IsSeparator(char16_t unit) { return kSeparators.find(unit) != std::u16string_view::npos; }

// Unicode's separators (Zs, Zl, Zp) and the blank controls.
bool IsBlank(char16_t unit) {
  return (unit >= u'\t' && unit <= u'\r') || unit == u' ' || unit == 0x85 || unit == 0xA0 || unit == 0x1680 ||
         (unit >= 0x2000 && unit <= 0x200A) || unit == 0x2028 || unit == 0x2029 || unit == 0x202F ||
         unit == 0x205F || unit == 0x3000;
}

bool IsWordUnit(char16_t unit) { return !IsBlank(unit) && !IsSeparator(unit); }

}  // namespace

TextSpan ReaderWordAt(StringView line, std::size_t offset) {
  const std::size_t size = line.size();
  const std::size_t position = std::min(offset, size);
  const std::size_t low = position > kReaderWordReach ? position - kReaderWordReach : 0;
  const std::size_t high = std::min(size, position + kReaderWordReach);

  // Back to the start of the word the offset is in, or of the word before
  // the blanks it is on; at the end of the line, after a blank or a
  // punctuation mark, there is no word to go back to.
  std::size_t begin = position;
  const bool after_gap = position == size && position > 0 && !IsWordUnit(line[position - 1]);
  if (position > 0 && !after_gap) {
    begin = position < size ? position + 1 : position;
    while (begin > low && IsBlank(line[begin - 1])) --begin;
    if (begin > low && IsSeparator(line[begin - 1])) {
      while (begin > low && IsSeparator(line[begin - 1])) --begin;
    } else {
      while (begin > low && IsWordUnit(line[begin - 1])) --begin;
    }
  }

  std::size_t end = begin;
  if (end < size && IsSeparator(line[end])) {
    while (end < high && IsSeparator(line[end])) ++end;
  } else {
    while (end < high && IsWordUnit(line[end])) ++end;
  }
  return {begin, end};
}

}  // namespace host
