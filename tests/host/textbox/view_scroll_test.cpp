#include "host/textbox/view_scroll.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(ViewScroll, TheViewMovesOnlyAsFarAsTheCaretNeeds) {
  struct Case {
    const char* name;
    ViewPlace now;
    std::size_t line;
    double x;
    ViewPlace expected;
  };
  // Ten lines of 100 pixels, with a margin of 3 on either side of the text.
  constexpr ViewExtent kView{.lines = 10, .width = 100, .margin = 3};
  const Case cases[] = {
      {"in view: nothing moves", {5, 40}, 8, 60, {5, 40}},
      {"below: the caret's line comes last", {5, 0}, 20, 10, {11, 0}},
      {"above: the caret's line comes first", {5, 0}, 2, 10, {2, 0}},
      {"right: a quarter of the view past the caret", {0, 0}, 0, 200, {0, 131}},
      {"left, far along the line: a quarter before the caret", {0, 500}, 0, 300, {0, 275}},
      {"left, seen from the line's start: back to it", {0, 500}, 0, 35, {0, 0}},
  };
  for (const Case& test : cases) {
    const ViewPlace got = ScrollToShow(test.now, test.line, test.x, kView);
    EXPECT_EQ(got.top_line, test.expected.top_line) << test.name;
    EXPECT_DOUBLE_EQ(got.left, test.expected.left) << test.name;
  }
}

}  // namespace
}  // namespace host
