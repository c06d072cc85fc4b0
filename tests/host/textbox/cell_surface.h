#pragma once
// A text box surface for tests of the engine's line layout, with no
// toolkit, and a line to lay out that every backend's tests share.
#include <cmath>
#include <map>
#include <memory>
#include <string>
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
  /// The units of `run` left to right: all backwards at an odd level, else
  /// as the toolkit orders a left-to-right paragraph.
  std::vector<std::size_t> Order(std::size_t run) const {
    const LineRun& at = runs_[run].run;
    const StringView part = text_.substr(at.begin, at.end - at.begin);
    std::vector<std::size_t> order;
    const bool backwards = (at.level & 1) != 0;
    for (std::size_t unit : VisualOrder(backwards ? std::vector<std::uint8_t>(part.size(), 1) : BidiLevels(part))) {
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
      [](StringView part, double start_x, Levels levels) { return std::make_unique<Cells>(part, start_x, levels); },
      kConventions);
  std::map<std::size_t, double> x_of;                                           // each run's x, by its start
  std::map<double, std::pair<double, std::vector<std::size_t>>> left_to_right;  // width and units, by x
  Reading reading;
  const double beyond = kCell * static_cast<double>(text.size() + 1) * 8;
  for (double left = 0; !reading.ended && left < beyond; left += screen) {
    const LineLayout::View view = layout.Visible(0, text, left, left + screen);
    for (const ShownRun& shown : view.runs) {
      const auto [known, added] = x_of.emplace(shown.begin + shown.Placed().run.begin, shown.x);
      reading.steady = reading.steady && std::abs(known->second - shown.x) < kClose;
      std::vector<std::size_t> order = static_cast<const Cells&>(shown.shaped).Order(shown.run);
      for (std::size_t& unit : order) unit += shown.begin;
      left_to_right.emplace(shown.x, std::pair{shown.Placed().width, std::move(order)});
    }
    reading.ended = view.end.has_value();
  }
  double x = 0;
  for (const auto& [left, run] : left_to_right) {
    reading.tiled = reading.tiled && std::abs(left - x) < kClose;
    x = left + run.first;
    reading.order.insert(reading.order.end(), run.second.begin(), run.second.end());
  }
  return reading;
}

/// Minified JSON of `pairs` pairs whose keys are Arabic: one right-to-left
/// stretch from the first key to the last value, so the last pair reads
/// right after the brace. `last_key` is where the last key's letters start.
inline String ArabicKeyedJson(int pairs, std::size_t* last_key = nullptr) {
  String json = u"{";
  for (int i = 0; i < pairs; ++i) {
    if (i > 0) json += u",";
    if (last_key != nullptr) *last_key = json.size() + 1;
    const std::string number = std::to_string(i);
    json.append(u"\"\u0645\u0641\u062A\u0627\u062D").append(number.begin(), number.end()).append(u"\":");
    json.append(number.begin(), number.end());
  }
  return json + u"}";
}

}  // namespace host::testing_surface
