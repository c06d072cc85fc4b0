#include "host/qt/grapheme_clusters.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/qt/line_segments.h"
#include "host/textbox/text_navigation.h"
#include "tests/host/unicode_text.h"

namespace host::qt {
namespace {

struct ClusterCase {
  const char* name;
  StringView text;
  std::vector<std::size_t> boundaries;  // every caret stop, 0 and the end included
};

// Every stop, walked forwards and backwards, and each position's own answer.
void ExpectStops(const ClusterCase& test) {
  std::vector<std::size_t> forwards{0};
  while (forwards.back() < test.text.size()) forwards.push_back(NextCluster(test.text, forwards.back()));
  EXPECT_EQ(forwards, test.boundaries) << test.name;
  std::vector<std::size_t> backwards{test.text.size()};
  while (backwards.front() > 0) backwards.insert(backwards.begin(), PreviousCluster(test.text, backwards.front()));
  EXPECT_EQ(backwards, test.boundaries) << test.name;
  for (std::size_t at = 0; at <= test.text.size(); ++at) {
    const bool stop = std::find(test.boundaries.begin(), test.boundaries.end(), at) != test.boundaries.end();
    EXPECT_EQ(IsClusterBoundary(test.text, at), stop) << test.name << " at " << at;
  }
}

TEST(GraphemeClusters, TheCaretStopsOnlyBetweenWhatAReaderSeesAsOneCharacter) {
  const ClusterCase cases[] = {
      {"plain", u"ab", {0, 1, 2}},
      {"combining marks", u"e\u0301\u0323x", {0, 3, 4}},
      {"surrogate pair", u"a\U0001F600b", {0, 1, 3, 4}},
      {"emoji ZWJ sequence", u"\U0001F468\u200D\U0001F469\u200D\U0001F467!", {0, 8, 9}},
      {"skin tone", u"\U0001F44D\U0001F3FD", {0, 4}},
      {"two flags", u"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA", {0, 4, 8}},
      {"Hangul jamo", u"\u1100\u1161\u11A8\u1100", {0, 3, 4}},
      {"Arabic with a vowel sign", u"\u0628\u064E\u0627", {0, 2, 3}},
      {"CR LF and lone breaks", u"a\r\n\n\r", {0, 1, 3, 4, 5}},
      {"unpaired surrogates", u"\xD800\xDC00\xDFFF\xD800", {0, 2, 3, 4}},
  };
  for (const ClusterCase& test : cases) ExpectStops(test);
}

TEST(GraphemeClusters, FlagsFarFromAnyAsciiPairUpFromTheStartOfTheirRun) {
  // A run of flags longer than the window the boundaries are looked for in.
  String text = u"x";
  for (int i = 0; i < 40; ++i) text += u"\U0001F1EB\U0001F1F7";
  text += u"x";
  EXPECT_TRUE(IsClusterBoundary(text, 1 + 4 * 30));
  EXPECT_FALSE(IsClusterBoundary(text, 1 + 4 * 30 + 2));
  EXPECT_EQ(NextCluster(text, 1 + 4 * 30), 1 + 4 * 31u);
}

// Unicode's own test cases, each after a letter and a paragraph separator,
// so that no search for the clusters can lean on an ASCII character before
// them, and the case starts a cluster whatever its first character.
TEST(GraphemeClusters, UnicodesTestCasesStopTheCaretBothWays) {
  std::ifstream file = testing_text::UnicodeFile("auxiliary/GraphemeBreakTest.txt");
  if (!file) GTEST_SKIP() << "GraphemeBreakTest.txt is not installed (Debian package unicode-data)";
  std::string line;
  int number = 0;
  int checked = 0;
  while (std::getline(file, line)) {
    ++number;
    line = line.substr(0, line.find('#'));
    if (line.empty()) continue;
    String text = u"\u05D0\u2029";
    std::vector<std::size_t> stops;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      if (word == "\xC3\xB7") {  // the break sign
        stops.push_back(text.size());
      } else if (word != "\xC3\x97") {
        testing_text::AppendCodePoint(text, static_cast<char32_t>(std::stoul(word, nullptr, 16)));
      }
    }
    ASSERT_GE(stops.size(), 2u) << line;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
      EXPECT_EQ(NextCluster(text, stops[i]), stops[i + 1]) << "line " << number << ": " << line;
      EXPECT_EQ(PreviousCluster(text, stops[i + 1]), stops[i]) << "line " << number << ": " << line;
    }
    ++checked;
  }
  EXPECT_GT(checked, 500);
}

TEST(LineSegments, SegmentsTileTheLineAndStartAtSafeCuts) {
  struct SegmentCase {
    const char* name;
    String unit;  // repeated to make the line
    // What the unit before each cut must be, if not a cluster boundary only.
    bool after_separator;
  };
  const SegmentCase cases[] = {
      {"JSON", u"{\"name\":\"caf\u00E9 12\",\"ok\":true},", true},
      {"Arabic words", u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645 ", true},
      {"combining marks only", u"\u0301", false},
      {"emoji sequences", u"\U0001F468\u200D\U0001F469\u200D\U0001F467", false},
  };
  for (const SegmentCase& test : cases) {
    String line;
    while (line.size() < 5 * kCutUnits + 7) line += test.unit;
    const std::size_t count = CutSegmentCount(line.size());
    ASSERT_EQ(count, 6u) << test.name;
    EXPECT_EQ(CutSegmentStart(line, 0, kScriptCuts), 0u);
    EXPECT_EQ(CutSegmentStart(line, count, kScriptCuts), line.size());
    for (std::size_t index = 1; index < count; ++index) {
      const std::size_t start = CutSegmentStart(line, index, kScriptCuts);
      EXPECT_GT(start, CutSegmentStart(line, index - 1, kScriptCuts)) << test.name;
      EXPECT_LE(start, index * kCutUnits) << test.name;
      EXPECT_GT(start + kCutReach, index * kCutUnits) << test.name;
      EXPECT_EQ(SnapToBoundary(line, start), start) << test.name << " splits a pair";
      if (test.after_separator) {
        EXPECT_TRUE(line[start - 1] == u' ' || line[start - 1] == u',') << test.name;
        EXPECT_TRUE(IsClusterBoundary(line, start)) << test.name;
      }
      EXPECT_EQ(CutSegmentOf(line, start, kScriptCuts), index) << test.name;
      EXPECT_EQ(CutSegmentOf(line, start - 1, kScriptCuts), index - 1) << test.name;
    }
    EXPECT_EQ(CutSegmentOf(line, line.size(), kScriptCuts), count - 1) << test.name;
  }
}

TEST(LineSegments, ACutPrefersASeparatorBetweenLeftToRightText) {
  // Hebrew words, each closed by a comma, then a Latin word: a cut after the
  // comma before the Latin word leaves the right-to-left run whole.
  String line;
  while (line.size() < kCutUnits + 100) line += u"abc \u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, ";
  const std::size_t start = CutSegmentStart(line, 1, kScriptCuts);
  EXPECT_EQ(line.substr(start, 4), u"abc ");
  EXPECT_EQ(CutSegmentCount(kCutUnits), 1u);
  EXPECT_EQ(CutSegmentCount(0), 1u);
}

}  // namespace
}  // namespace host::qt
