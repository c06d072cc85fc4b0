#include "host/qt/line_segments.h"

#include <QChar>
#include <algorithm>

#include "host/qt/grapheme_clusters.h"
#include "host/textbox/code_points.h"

namespace host::qt {
namespace {

// How far to look for the strong direction on either side of a cut.
constexpr std::size_t kDirectionReach = 256;

char32_t CharacterBefore(StringView line, std::size_t at) {
  if (IsLowSurrogate(line[at - 1]) && at >= 2 && IsHighSurrogate(line[at - 2])) {
    return QChar::surrogateToUcs4(line[at - 2], line[at - 1]);
  }
  return line[at - 1];
}

bool IsRightToLeft(QChar::Direction direction) { return direction == QChar::DirR || direction == QChar::DirAL; }

}  // namespace

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
  const QChar::Script after = QChar::script(CodePointAt(line, at).value);
  auto specific = [](QChar::Script script) {
    return script != QChar::Script_Common && script != QChar::Script_Inherited && script != QChar::Script_Unknown;
  };
  return before != after && specific(before) && specific(after);
}

}  // namespace host::qt
