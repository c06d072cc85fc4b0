#include "host/textbox/line_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/runtime/find_unit.h"
#include "host/textbox/code_points.h"
#include "host/textbox/control_marks.h"

namespace host {
namespace {
constexpr std::size_t kBasicPlane = 0x10000;
constexpr std::size_t kMaxLinesWithMarks = 64;
constexpr double kUnitsPerPixel = 64;
}  // namespace

LineGeometry::LineGeometry(Measure measure, double tab_width)
    : measure_(std::move(measure)), tab_width_(tab_width), bmp_(kBasicPlane, -1) {}

double LineGeometry::Advance(char32_t character, double x) {
  if (character == U'\t') return TabAdvance(x, tab_width_);
  if (character < kBasicPlane) return Measured(static_cast<char16_t>(character)) / kUnitsPerPixel;
  const auto found = astral_.find(character);
  if (found != astral_.end()) return found->second;
  const double advance = std::round(measure_(character) * kUnitsPerPixel) / kUnitsPerPixel;
  return astral_.emplace(character, advance).first->second;
}

std::int32_t LineGeometry::Measured(char16_t unit) {
  std::int32_t& advance = bmp_[unit];
  if (advance < 0) {
    advance = static_cast<std::int32_t>(std::max(0.0, std::round(measure_(unit) * kUnitsPerPixel)));
  }
  return advance;
}

std::int64_t LineGeometry::SumPlain(const char16_t* first, const char16_t* last) {
  // Four sums side by side, so that the additions need not wait on each other.
  constexpr std::ptrdiff_t kLanes = 4;
  std::int64_t lanes[kLanes] = {0, 0, 0, 0};
  for (; last - first >= kLanes; first += kLanes) {
    for (std::ptrdiff_t lane = 0; lane < kLanes; ++lane) lanes[lane] += Measured(first[lane]);
  }
  for (; first != last; ++first) lanes[0] += Measured(*first);
  return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
}

LineGeometry::Hit LineGeometry::Step(StringView line, Hit at) {
  const CodePoint character = CodePointAt(line, at.offset);
  return {at.offset + character.units, at.x + Advance(character.value, at.x)};
}

LineGeometry::Marks& LineGeometry::MarksFor(std::size_t key) {
  if (marks_.size() >= kMaxLinesWithMarks && marks_.find(key) == marks_.end()) marks_.clear();
  return marks_[key];
}

bool LineGeometry::Extend(Marks& marks, StringView line) {
  Hit at{marks.offsets.back(), marks.xs.back()};
  if (at.offset >= line.size()) return false;
  const std::size_t target = std::min(line.size(), (at.offset / kChunkUnits + 1) * kChunkUnits);
  const char16_t* const units = line.data();
  while (at.offset < target) {
    // Only a tab needs the x before it, and only a surrogate is not a cell
    // of its own; the units between them are summed in one go.
    const char16_t* const end = FindTabOrSurrogate(units + at.offset, units + target);
    at.x += static_cast<double>(SumPlain(units + at.offset, end)) / kUnitsPerPixel;
    at.offset = static_cast<std::size_t>(end - units);
    if (at.offset < target) at = Step(line, at);
  }
  marks.offsets.push_back(at.offset);
  marks.xs.push_back(at.x);
  return true;
}

double LineGeometry::X(std::size_t key, StringView line, std::size_t offset) {
  offset = std::min(offset, line.size());
  Hit at;
  if (line.size() > kChunkUnits) {
    Marks& marks = MarksFor(key);
    while (marks.offsets.back() < offset && Extend(marks, line)) {
    }
    const auto next = std::upper_bound(marks.offsets.begin(), marks.offsets.end(), offset);
    const auto index = static_cast<std::size_t>(next - marks.offsets.begin()) - 1;
    at = {marks.offsets[index], marks.xs[index]};
  }
  while (at.offset < offset) at = Step(line, at);
  return at.x;
}

LineGeometry::Hit LineGeometry::Before(std::size_t key, StringView line, double x) {
  Hit at;
  if (line.size() > kChunkUnits) {
    Marks& marks = MarksFor(key);
    while (marks.xs.back() <= x && Extend(marks, line)) {
    }
    const auto next = std::upper_bound(marks.xs.begin(), marks.xs.end(), x);
    const auto index = next == marks.xs.begin() ? 0 : static_cast<std::size_t>(next - marks.xs.begin()) - 1;
    at = {marks.offsets[index], marks.xs[index]};
  }
  while (at.offset < line.size()) {
    const Hit next = Step(line, at);
    if (next.x > x) break;
    at = next;
  }
  return at;
}

std::size_t LineGeometry::Nearest(std::size_t key, StringView line, double x) {
  const Hit before = Before(key, line, x);
  if (before.offset >= line.size()) return before.offset;
  const Hit after = Step(line, before);
  return x - before.x <= after.x - x ? before.offset : after.offset;
}

void LineGeometry::Invalidate(std::size_t position) {
  for (auto it = marks_.begin(); it != marks_.end();) {
    if (it->first > position) {
      it = marks_.erase(it);
      continue;
    }
    // Marks before the edit still hold; a mark at the edit may no longer
    // be a boundary.
    Marks& marks = it->second;
    const std::size_t edit = position - it->first;
    const auto keep = std::max<std::ptrdiff_t>(
        1, std::lower_bound(marks.offsets.begin(), marks.offsets.end(), edit) - marks.offsets.begin());
    marks.offsets.resize(static_cast<std::size_t>(keep));
    marks.xs.resize(static_cast<std::size_t>(keep));
    ++it;
  }
}

}  // namespace host
