#include "host/textbox/control_marks.h"

#include <gtest/gtest.h>

#include <string>

namespace host {
namespace {

// Runs written as kind letter (t text, T tab, m mark), begin, end and the
// mark's name: "t0-3 m3-4:NUL ".
std::string Describe(const std::vector<LineRun>& runs) {
  std::string out;
  for (const LineRun& run : runs) {
    switch (run.kind) {
      case LineRun::Kind::kText:
        out += 't';
        break;
      case LineRun::Kind::kTab:
        out += 'T';
        break;
      case LineRun::Kind::kMark:
        out += 'm';
        break;
    }
    out += std::to_string(run.begin);
    out += '-';
    out += std::to_string(run.end);
    if (!run.mark.empty()) {
      out += ':';
      out += run.mark;
    }
    out += ' ';
  }
  return out;
}

TEST(LineRuns, TextStandsBetweenTabsAndMarkedCharacters) {
  const struct {
    const char* name;
    StringView text;
    const char* runs;
  } cases[] = {
      {"empty", u"", ""},
      {"plain", u"abc", "t0-3 "},
      {"tab between", u"a\tb", "t0-1 T1-2 t2-3 "},
      {"marks at both ends", u"\rab\x7F", "m0-1:CR t1-3 m3-4:DEL "},
      {"two in a row", u"\t\x01", "T0-1 m1-2:SOH "},
      {"pair kept whole", u"\U0001F600\t", "t0-2 T2-3 "},
      {"lone half marked", u"a\xD83D" u"b", "t0-1 m1-2:SUR t2-3 "},
      {"separators", u"\u2028x\u2029", "m0-1:LS t1-2 m2-3:PS "},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(LineRuns(c.text)), c.runs) << c.name;
}

TEST(TabAdvance, ReachesTheNextStopAndAWholeTabFromAStop) {
  const struct {
    double x;
    double advance;
  } cases[] = {{0, 32}, {1, 31}, {31.5, 0.5}, {32, 32}, {70, 26}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(TabAdvance(c.x, 32), c.advance) << c.x;
}

TEST(PlaceRuns, RunsFollowEachOtherAndTabsStopWhereTheLineDoes) {
  // Text one pixel and a half per unit, marks four, tabs every ten pixels
  // of the line, which the stretch enters at 13.
  const std::vector<PlacedRun> runs =
      PlaceRuns(u"ab\tc\x01", 13,
                {.text = [](const LineRun& run) { return 1.5 * static_cast<double>(run.end - run.begin); },
                 .mark = [](std::string_view) { return 4.0; },
                 .tab_width = 10});
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_DOUBLE_EQ(runs[1].x, 3);
  EXPECT_DOUBLE_EQ(runs[1].width, 4) << "from 16 in the line to the stop at 20";
  EXPECT_DOUBLE_EQ(runs[2].x, 7);
  EXPECT_DOUBLE_EQ(runs[3].x, 8.5);
  EXPECT_EQ(RunHolding(runs, 2), 1u);
  EXPECT_EQ(RunHolding(runs, 5), 3u);
  // On whole pixels a tab ends on a whole pixel of the line.
  const std::vector<PlacedRun> whole = PlaceRuns(u"a\t", 13.25, {.text = [](const LineRun&) { return 2.0; },
                                                                  .mark = [](std::string_view) { return 4.0; },
                                                                  .tab_width = 10,
                                                                  .whole_pixels = true});
  EXPECT_DOUBLE_EQ(whole[1].width, 5) << "from 15.25 to 20, in whole pixels from 15";
}

}  // namespace
}  // namespace host
