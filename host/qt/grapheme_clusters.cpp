#include "host/qt/grapheme_clusters.h"

#include <QString>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "host/textbox/text_navigation.h"

namespace host::qt {
namespace {

// How far the window reaches on either side; a cluster is rarely longer.
constexpr std::size_t kReach = 128;

// A window start at or before `position` where a cluster surely starts: an
// ASCII character after another ASCII character (or at the text's start),
// other than the LF of a CR LF. No ASCII character joins its neighbours in
// a cluster, so the window's finder, which takes its start for a boundary,
// is then right; one ASCII character alone is not enough, since a prepended
// mark before it joins it. Failing that, the reach itself, kept off a
// pair's second half.
std::size_t WindowStart(StringView text, std::size_t position) {
  const std::size_t limit = position > kReach ? position - kReach : 0;
  auto ascii = [&](std::size_t at) { return text[at] < 0x80; };
  for (std::size_t at = std::min(position, text.size()); at > limit; --at) {
    const std::size_t start = at - 1;
    if (start == 0) return 0;
    if (!ascii(start)) continue;
    if (ascii(start - 1) && !(text[start - 1] == u'\r' && text[start] == u'\n')) return start;
  }
  return SnapToBoundary(text, limit);
}

class Window {
 public:
  Window(StringView text, std::size_t position)
      : start_(WindowStart(text, position)),
        end_(std::min(text.size(), position + kReach)),
        units_(QString::fromRawData(reinterpret_cast<const QChar*>(text.data() + start_),
                                    static_cast<qsizetype>(end_ - start_))),
        finder_(QTextBoundaryFinder::Grapheme, units_) {}

  std::size_t start() const { return start_; }
  QTextBoundaryFinder& finder() { return finder_; }
  void MoveTo(std::size_t position) { finder_.setPosition(static_cast<qsizetype>(position - start_)); }
  std::size_t Position() const { return start_ + static_cast<std::size_t>(finder_.position()); }

 private:
  std::size_t start_;
  std::size_t end_;
  QString units_;
  QTextBoundaryFinder finder_;
};

}  // namespace

bool IsClusterBoundary(StringView text, std::size_t position) {
  if (position == 0 || position >= text.size()) return position <= text.size();
  Window window(text, position);
  window.MoveTo(position);
  return window.finder().isAtBoundary();
}

std::size_t NextCluster(StringView text, std::size_t position) {
  if (position >= text.size()) return text.size();
  Window window(text, position);
  window.MoveTo(position);
  if (window.finder().toNextBoundary() < 0) return NextBoundary(text, position);
  return window.Position();
}

std::size_t PreviousCluster(StringView text, std::size_t position) {
  position = std::min(position, text.size());
  if (position == 0) return 0;
  Window window(text, position);
  window.MoveTo(position);
  if (window.finder().toPreviousBoundary() < 0) return PreviousBoundary(text, position);
  return window.Position();
}

std::size_t SnapToCluster(StringView text, std::size_t position) {
  position = std::min(position, text.size());
  return IsClusterBoundary(text, position) ? position : PreviousCluster(text, position);
}

}  // namespace host::qt
