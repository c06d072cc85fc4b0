#pragma once
// A text box surface for tests of the engine's line layout, with no toolkit.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "host/textbox/bidi_levels.h"
#include "host/textbox/line_layout.h"

namespace host::testing_surface {

// A surface whose text is a row of cells, each unit one cell a little wider
// than the estimate, reading right to left in runs of odd levels and, as a
// toolkit shaping a left-to-right paragraph, in bidi order in the others.
constexpr double kEstimate = 10;
constexpr double kCell = 11;

class Cells : public ShapedRuns {
 public:
  Cells(StringView text, double start_x, Levels levels)
      : text_(text), runs_(PlaceRuns(text, start_x,
                        {.text = [](const LineRun& run) { return kCell * static_cast<double>(run.end - run.begin); },
                         .mark = [](std::string_view) { return kCell; },
                         .tab_width = 8 * kEstimate},
                        levels)) {
    for (const PlacedRun& run : runs_) width_ = run.x + run.width;
  }
  const std::vector<PlacedRun>& Runs() const override { return runs_; }
  double Width() const override { return width_; }
  double X(std::size_t run, std::size_t offset) const override {
    const LineRun& at = runs_[run].run;
    const double cells = (at.level & 1) != 0 ? static_cast<double>(at.end - offset) : static_cast<double>(offset - at.begin);
    return cells * runs_[run].width / static_cast<double>(at.end - at.begin);
  }
  /// The units of `run` left to right.
  std::vector<std::size_t> Order(std::size_t run) const {
    const LineRun& at = runs_[run].run;
    std::vector<std::size_t> order;
    if ((at.level & 1) != 0) {
      for (std::size_t unit = at.end; unit > at.begin; --unit) order.push_back(unit - 1);
      return order;
    }
    for (std::size_t unit : VisualOrder(BidiLevels(text_.substr(at.begin, at.end - at.begin)))) {
      order.push_back(at.begin + unit);
    }
    return order;
  }
  std::size_t Nearest(std::size_t run, double x) const override {
    const LineRun& at = runs_[run].run;
    const auto cells = static_cast<std::size_t>(std::lround(x / kCell));
    return (at.level & 1) != 0 ? at.end - std::min(cells, at.end - at.begin) : at.begin + cells;
  }

 private:
  StringView text_;
  std::vector<PlacedRun> runs_;
  double width_ = 0;
};

/// A line as a reader sees it a screen of `screen` pixels at a time, left
/// to right, with a line layout over Cells.
struct Reading {
  std::vector<std::size_t> order;  // the line's units, left to right
  bool ended = false;              // the line's end came into view
  bool steady = true;              // each run stood still whichever screen showed it
  bool tiled = true;               // runs neither gap nor overlap
};

inline Reading ReadScreenByScreen(StringView text, double screen = 700) {
  constexpr double kClose = 0.01;
  static constexpr TextBoxConventions kConventions;
  LineGeometry geometry([](char32_t) { return kEstimate; }, 8 * kEstimate);
  LineLayout layout(
      geometry, {},
      [](StringView stretch, double start_x, Levels levels) { return std::make_unique<Cells>(stretch, start_x, levels); },
      kConventions);
  struct Seen {
    double x;
    double width;
    std::vector<std::size_t> order;
  };
  std::map<std::size_t, Seen> runs;  // by start in the line
  Reading reading;
  const double far = kCell * static_cast<double>(text.size() + 1) * 8;
  for (double left = 0; !reading.ended && left < far; left += screen) {
    const LineLayout::View view = layout.Visible(0, text, left, left + screen);
    for (const ShownRun& shown : view.runs) {
      std::vector<std::size_t> order = static_cast<const Cells&>(shown.shaped).Order(shown.run);
      for (std::size_t& unit : order) unit += shown.begin;
      const auto [known, added] =
          runs.emplace(shown.begin + shown.Placed().run.begin, Seen{shown.x, shown.Placed().width, std::move(order)});
      reading.steady = reading.steady && std::abs(known->second.x - shown.x) < kClose;
    }
    reading.ended = view.end.has_value();
  }
  std::vector<std::pair<double, std::size_t>> by_x;
  for (const auto& [begin, run] : runs) by_x.emplace_back(run.x, begin);
  std::sort(by_x.begin(), by_x.end());
  double x = 0;
  for (const auto& [left, begin] : by_x) {
    const Seen& run = runs[begin];
    reading.tiled = reading.tiled && std::abs(left - x) < kClose;
    x = left + run.width;
    reading.order.insert(reading.order.end(), run.order.begin(), run.order.end());
  }
  return reading;
}

}  // namespace host::testing_surface
