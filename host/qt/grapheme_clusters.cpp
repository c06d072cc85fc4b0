#include "host/qt/grapheme_clusters.h"

#include <QString>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "host/textbox/text_navigation.h"

namespace host::qt {
namespace {

// How far the window reaches on either side; a cluster is rarely longer.
constexpr std::size_t kReach = 128;

// A window start at or before `position`: an ASCII character other than the
// LF of a CR LF, within reach; else the reach itself, kept off a pair's second half.
std::size_t WindowStart(StringView text, std::size_t position) {
  const std::size_t limit = position > kReach ? position - kReach : 0;
  for (std::size_t at = std::min(position, text.size()); at > limit; --at) {
    const char16_t unit = text[at - 1];
    if (unit < 0x80 && !(unit == u'\n' && at >= 2 && text[at - 2] == u'\r')) return at - 1;
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
