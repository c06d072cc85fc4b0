#include "host/qt/line_segments.h"

#include <QChar>

#include "host/qt/grapheme_clusters.h"
#include "host/textbox/text_navigation.h"

namespace host::qt {
namespace {

// How far to look for the strong direction on either side of a cut.
constexpr std::size_t kDirectionReach = 256;

char32_t CharacterAt(StringView line, std::size_t at) {
  if (IsHighSurrogate(line[at]) && at + 1 < line.size() && IsLowSurrogate(line[at + 1])) {
    return QChar::surrogateToUcs4(line[at], line[at + 1]);
  }
  return line[at];
}

char32_t CharacterBefore(StringView line, std::size_t at) {
  if (IsLowSurrogate(line[at - 1]) && at >= 2 && IsHighSurrogate(line[at - 2])) {
    return QChar::surrogateToUcs4(line[at - 2], line[at - 1]);
  }
  return line[at - 1];
}

bool IsRightToLeft(QChar::Direction direction) { return direction == QChar::DirR || direction == QChar::DirAL; }

// Whether a cut at `at` leaves every right-to-left run whole: true unless
// right-to-left text stands on both sides of it (numbers after it counting
// as such), the one case where the units around the cut would be reordered
// together. Text beyond reach counts as left to right, the paragraph's own.
bool KeepsRunsWhole(StringView line, std::size_t at) {
  for (std::size_t i = at, end = at > kDirectionReach ? at - kDirectionReach : 0; i > end; --i) {
    const QChar::Direction direction = QChar::direction(static_cast<char32_t>(line[i - 1]));
    if (direction == QChar::DirL) return true;
    if (IsRightToLeft(direction)) break;
  }
  for (std::size_t i = at, end = std::min(line.size(), at + kDirectionReach); i < end; ++i) {
    const QChar::Direction direction = QChar::direction(static_cast<char32_t>(line[i]));
    if (direction == QChar::DirL) return true;
    if (IsRightToLeft(direction) || direction == QChar::DirEN || direction == QChar::DirAN) return false;
  }
  return true;
}

bool BreaksBefore(StringView line, std::size_t at) {
  // Below U+0300 nothing joins the character before it.
  return line[at] < 0x300 || IsClusterBoundary(line, at);
}

bool IsScriptChange(StringView line, std::size_t at) {
  const QChar::Script before = QChar::script(CharacterBefore(line, at));
  const QChar::Script after = QChar::script(CharacterAt(line, at));
  auto specific = [](QChar::Script script) {
    return script != QChar::Script_Common && script != QChar::Script_Inherited && script != QChar::Script_Unknown;
  };
  return before != after && specific(before) && specific(after);
}

std::size_t Cut(StringView line, std::size_t near) {
  const std::size_t floor = near - kCutReach;
  std::size_t separator = 0;
  std::size_t script_change = 0;
  for (std::size_t at = near; at > floor; --at) {
    const char16_t before = line[at - 1];
    if (before == u' ' || before == u',') {
      if (!BreaksBefore(line, at)) continue;
      if (KeepsRunsWhole(line, at)) return at;
      if (separator == 0) separator = at;
    } else if (separator == 0 && script_change == 0 && IsScriptChange(line, at) && BreaksBefore(line, at)) {
      script_change = at;
    }
  }
  if (separator != 0) return separator;
  if (script_change != 0) return script_change;
  const std::size_t cluster = SnapToCluster(line, near);
  return cluster > floor ? cluster : SnapToBoundary(line, near);
}

}  // namespace

std::size_t SegmentCount(std::size_t line_size) {
  return line_size == 0 ? 1 : (line_size + kSegmentUnits - 1) / kSegmentUnits;
}

std::size_t SegmentStart(StringView line, std::size_t index) {
  if (index == 0) return 0;
  if (index >= SegmentCount(line.size())) return line.size();
  return Cut(line, index * kSegmentUnits);
}

std::size_t SegmentOf(StringView line, std::size_t offset) {
  const std::size_t last = SegmentCount(line.size()) - 1;
  std::size_t index = std::min(offset / kSegmentUnits, last);
  if (index > 0 && SegmentStart(line, index) > offset) return index - 1;
  if (index < last && SegmentStart(line, index + 1) <= offset) return index + 1;
  return index;
}

}  // namespace host::qt
