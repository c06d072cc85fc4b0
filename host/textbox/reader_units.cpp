#include "host/textbox/reader_units.h"

#include <algorithm>
#include <string>

#include "host/textbox/text_boundaries.h"

namespace host {
namespace {

// Word stops as Ctrl+Right and Ctrl+Left find them, looking no further than
// the reader's reach.
std::size_t NextWordStop(StringView text, std::size_t position) {
  const std::size_t limit = std::min(text.size(), position + kReaderWordReach);
  const std::size_t stop = NextWordStart(text.substr(0, limit), position);
  if (stop < limit || limit == text.size()) return stop;
  const std::size_t snapped = SnapToBoundary(text, stop);
  return snapped > position ? snapped : NextBoundary(text, position);
}

std::size_t PreviousWordStop(StringView text, std::size_t position) {
  const std::size_t low = position > kReaderWordReach ? position - kReaderWordReach : 0;
  const std::size_t stop = low + PreviousWordStart(text.substr(low), position - low);
  return low == 0 ? stop : SnapToBoundary(text, stop);
}

}  // namespace

String ReaderValue(StringView text) {
  if (text.size() <= kReaderTextCap) return String(text);
  const std::size_t cut = SnapToBoundary(text, kReaderTextCap);
  const std::string more = std::to_string(text.size() - cut);
  String value(text.substr(0, cut));
  value.append(u"\u2026 (").append(more.begin(), more.end()).append(u" more characters)");
  return value;
}

std::size_t ReaderUnits::Next(std::size_t position) const {
  const std::size_t size = Size();
  if (position >= size) return size;
  switch (unit_) {
    case ReaderUnit::kCharacter:
      return document_.ClusterStep(position, true);
    case ReaderUnit::kWord:
      return NextWordStop(document_.Text(), position);
    case ReaderUnit::kLine: {
      const std::size_t line = document_.LineOf(position) + 1;
      return line < document_.LineCount() ? document_.LineStart(line) : size;
    }
    case ReaderUnit::kDocument:
      break;
  }
  return size;
}

std::size_t ReaderUnits::Previous(std::size_t position) const {
  position = std::min(position, Size());
  if (position == 0) return 0;
  switch (unit_) {
    case ReaderUnit::kCharacter:
      return document_.ClusterStep(position, false);
    case ReaderUnit::kWord:
      return PreviousWordStop(document_.Text(), position);
    case ReaderUnit::kLine: {
      const std::size_t line = document_.LineOf(position);
      const std::size_t start = document_.LineStart(line);
      return start < position || line == 0 ? start : document_.LineStart(line - 1);
    }
    case ReaderUnit::kDocument:
      break;
  }
  return 0;
}

std::size_t ReaderUnits::StartAtOrBefore(std::size_t position) const {
  switch (unit_) {
    case ReaderUnit::kCharacter:
    case ReaderUnit::kWord:
      // One step on and back again comes to the start of the unit the step
      // left, which is the unit holding the position.
      return Previous(Next(position));
    case ReaderUnit::kLine:
      return document_.LineStart(document_.LineOf(position));
    case ReaderUnit::kDocument:
      break;
  }
  return 0;
}

TextSpan ReaderUnits::At(std::size_t position) const {
  const std::size_t begin = position < Size() ? StartAtOrBefore(position) : Previous(Size());
  return {begin, Next(begin)};
}

TextSpan ClampRange(StringView text, TextSpan range) {
  const std::size_t begin = SnapToBoundary(text, range.begin);
  return {begin, std::max(begin, SnapToBoundary(text, range.end))};
}

int MoveRange(const ReaderUnits& units, TextSpan& range, int count) {
  if (count == 0) return 0;  // a move of nothing leaves the range as it is
  const bool empty = range.begin == range.end;
  std::size_t position = empty ? range.begin : units.At(range.begin).begin;
  int moved = 0;
  while (moved < count) {
    const std::size_t next = units.Next(position);
    if (next == position || (!empty && next >= units.Size())) break;
    position = next;
    ++moved;
  }
  while (moved > count) {
    const std::size_t previous = units.Previous(position);
    if (previous == position) break;
    position = previous;
    --moved;
  }
  range = {position, empty ? position : units.Next(position)};
  return moved;
}

int MoveEndpoint(const ReaderUnits& units, TextSpan& range, bool end, int count) {
  std::size_t position = end ? range.end : range.begin;
  int moved = 0;
  for (; moved < count; ++moved) {
    const std::size_t next = units.Next(position);
    if (next == position) break;
    position = next;
  }
  for (; moved > count; --moved) {
    const std::size_t previous = units.Previous(position);
    if (previous == position) break;
    position = previous;
  }
  if (end) {
    range = {std::min(range.begin, position), position};
  } else {
    range = {position, std::max(range.end, position)};
  }
  return moved;
}

}  // namespace host
