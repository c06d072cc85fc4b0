#include "host/textbox/line_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "host/textbox/bidi_levels.h"

namespace host {
namespace {

// A surface whose text is a row of cells, each unit one cell a little wider
// than the estimate, reading right to left in runs of odd levels and, as a
// toolkit shaping a left-to-right paragraph, in bidi order in the others.
constexpr double kEstimate = 10;
constexpr double kCell = 11;
constexpr TextBoxConventions kConventions;

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

String Number(int value) {
  const std::string digits = std::to_string(value);
  return String(digits.begin(), digits.end());
}

// A line cut into many segments reads in the order the bidirectional
// algorithm gives the whole line, a screen at a time as painting asks:
// minified JSON whose keys are Arabic is one right-to-left stretch from the
// first key to the last value, so the last pair stands right after the
// brace; runs neither gap nor overlap and stand still whichever screen
// shows them.
TEST(LineLayout, LongLinesReadInTheOrderOfTheWholeLine) {
  String json = u"{";
  String words;
  for (int i = 0; i < 300; ++i) {
    if (i > 0) json += u",";
    json.append(u"\"\u0645\u0641\u062A\u0627\u062D").append(Number(i)).append(u"\":").append(Number(i));
    words.append(i % 7 == 0 ? u"word" : u"\u0643\u0644\u0645\u0629").append(Number(i)).append(u" ");
  }
  json += u"}";
  for (const String& text : {json, words}) {
    ASSERT_GT(CutSegmentCount(text.size()), 4u);
    LineGeometry geometry([](char32_t) { return kEstimate; }, 8 * kEstimate);
    LineLayout layout(geometry, {}, [](StringView stretch, double start_x, Levels levels) {
      return std::make_unique<Cells>(stretch, start_x, levels);
    }, kConventions);
    constexpr double kScreen = 700;
    struct Seen {
      double x;
      double width;
      std::vector<std::size_t> order;
    };
    std::map<std::size_t, Seen> runs;  // by start in the line
    bool ended = false;
    for (double left = 0; !ended && left < 1e7; left += kScreen) {
      const LineLayout::View view = layout.Visible(0, text, left, left + kScreen);
      for (const ShownRun& shown : view.runs) {
        std::vector<std::size_t> order = static_cast<const Cells&>(shown.shaped).Order(shown.run);
        for (std::size_t& unit : order) unit += shown.begin;
        const auto [known, added] = runs.emplace(shown.begin + shown.Placed().run.begin,
                                                 Seen{shown.x, shown.Placed().width, std::move(order)});
        EXPECT_NEAR(known->second.x, shown.x, 0.01) << "a run moved between screens";
      }
      ended = view.end.has_value();
    }
    EXPECT_TRUE(ended);
    std::vector<std::pair<double, std::size_t>> by_x;
    for (const auto& [begin, run] : runs) by_x.emplace_back(run.x, begin);
    std::sort(by_x.begin(), by_x.end());
    std::vector<std::size_t> seen;
    double x = 0;
    for (const auto& [left, begin] : by_x) {
      const Seen& run = runs[begin];
      EXPECT_NEAR(left, x, 0.01) << "gap or overlap before " << begin;
      x = left + run.width;
      seen.insert(seen.end(), run.order.begin(), run.order.end());
    }
    const std::vector<std::size_t> expected = VisualOrder(BidiLevels(text));
    EXPECT_EQ(seen, expected);

  }
}

}  // namespace
}  // namespace host
