// Where a long line is cut into segments for shaping: never inside a
// surrogate pair or before a character that joins the one before it, at a
// space or comma when one is in reach, and the same wherever it is asked.
#include "host/textbox/line_cuts.h"

#include <gtest/gtest.h>

#include <string>

namespace host {
namespace {

// `filler` repeated past 2000 units, with `middle` placed to end just
// before unit 1024 (the second cut's aim) plus `shift`.
std::u16string LineWith(std::u16string_view filler, std::u16string_view middle, std::size_t shift) {
  std::u16string line;
  while (line.size() < 2 * kCutUnits + shift - middle.size()) line += filler;
  line.resize(2 * kCutUnits + shift - middle.size());
  line += middle;
  while (line.size() < 2100) line += filler;
  return line;
}

// `line` one unit further on, behind an "x".
std::u16string OneUnitOn(const std::u16string& line) {
  std::u16string moved(1, u'x');
  moved.append(line);
  return moved;
}

TEST(LineCutsTest, CutsAtASafePointNearEachMultiple) {
  struct Case {
    const char* name;
    std::u16string line;
    std::size_t expected;  // where segment 2 starts
  };
  const Case cases[] = {
      {"after the last space in reach", LineWith(u"x", u" abc", 0), 2 * kCutUnits - 3},
      {"after a comma", LineWith(u"x", u",a", 0), 2 * kCutUnits - 1},
      {"a space right before the aim", LineWith(u"x", u" ", 0), 2 * kCutUnits},
      {"not before a combining mark after a space", LineWith(u"x", u" a, \u0301bc", 0), 2 * kCutUnits - 4},
      {"not before a joiner", LineWith(u"x", u" a,\u200Dbc", 0), 2 * kCutUnits - 5},
      {"not before an Arabic vowel mark", LineWith(u"\u0639", u" \u0639 \u064Ebc", 0), 2 * kCutUnits - 5},
      {"not before a variation selector", LineWith(u"x", u" a,\uFE0Fbc", 0), 2 * kCutUnits - 5},
      {"not before a Devanagari vowel sign", LineWith(u"\u0915", u" \u0915 \u093Fbc", 0), 2 * kCutUnits - 5},
      {"a space beyond reach is not used", LineWith(u"x", std::u16string(u" ") + std::u16string(70, u'y'), 0),
       2 * kCutUnits},
      {"no space: not between the halves of a pair", LineWith(u"\U0001F600", u"", 0), 2 * kCutUnits},
      {"no space: a pair straddling the aim", LineWith(u"x", u"\U0001F600", 1), 2 * kCutUnits - 1},
      // Skin-tone modifiers join: nothing in reach starts a cluster.
      {"nothing in reach: the pair's own start", OneUnitOn(LineWith(u"\U0001F3FB", u"", 0)), 2 * kCutUnits - 1},
      {"no space: not before a mark", LineWith(u"x", u"e\u0301", 1), 2 * kCutUnits - 1},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(CutSegmentStart(test.line, 2), test.expected) << test.name;
  }
}

TEST(LineCutsTest, SegmentsCoverTheLineInOrderAndEveryOffsetFindsItsOwn) {
  std::u16string line;
  while (line.size() < 100'000) line += u"word \u060C \u0639\u0631\u0628\u064A, e\u0301 \U0001F600 ";
  const std::size_t count = CutSegmentCount(line.size());
  ASSERT_EQ(count, (line.size() + kCutUnits - 1) / kCutUnits);
  EXPECT_EQ(CutSegmentStart(line, 0), 0u);
  EXPECT_EQ(CutSegmentStart(line, count), line.size());
  for (std::size_t index = 1; index < count; ++index) {
    const std::size_t start = CutSegmentStart(line, index);
    ASSERT_GT(start, CutSegmentStart(line, index - 1)) << index;
    ASSERT_LE(start, index * kCutUnits) << index;
    ASSERT_GT(start, index * kCutUnits - kCutReach) << index;
    const char16_t before = line[start - 1];
    EXPECT_TRUE(before == u' ' || before == u',') << index;
    EXPECT_FALSE(JoinsPrevious(line[start])) << index;
  }
  for (std::size_t offset = 0; offset <= line.size(); offset += 7) {
    const std::size_t index = CutSegmentOf(line, offset);
    ASSERT_LE(CutSegmentStart(line, index), offset) << offset;
    if (offset < line.size()) {
      ASSERT_GT(CutSegmentStart(line, index + 1), offset) << offset;
    }
  }
  EXPECT_EQ(CutSegmentOf(line, line.size()), count - 1);
}

TEST(LineCutsTest, ACutDependsOnlyOnTheTextAroundIt) {
  std::u16string line;
  while (line.size() < 5000) line += u"ab, \u05E9\u05DC\u05D5\u05DD ";
  std::u16string changed = line;
  changed.replace(100, 40, std::u16string(40, u'z'));
  for (std::size_t index = 2; index < CutSegmentCount(line.size()); ++index) {
    EXPECT_EQ(CutSegmentStart(changed, index), CutSegmentStart(line, index)) << index;
  }
}

TEST(LineCutsTest, ShortAndEmptyLinesAreOneSegment) {
  EXPECT_EQ(CutSegmentCount(0), 1u);
  EXPECT_EQ(CutSegmentCount(kCutUnits), 1u);
  EXPECT_EQ(CutSegmentCount(kCutUnits + 1), 2u);
  EXPECT_EQ(CutSegmentOf(u"", 0), 0u);
}

}  // namespace
}  // namespace host
