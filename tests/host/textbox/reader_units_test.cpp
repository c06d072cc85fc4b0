#include "host/textbox/reader_units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/textbox/text_boundaries.h"

namespace host {
namespace {

// The units a reader hears walking the text forward, one range at a time.
std::vector<String> Walk(const TextDocument& document, ReaderUnit unit, int step) {
  const ReaderUnits units(document, unit);
  TextSpan range = units.At(step > 0 ? 0 : document.Size());
  std::vector<String> heard;
  do {
    heard.emplace_back(StringView(document.Text()).substr(range.begin, range.end - range.begin));
  } while (MoveRange(units, range, step) == step);
  if (step < 0) std::reverse(heard.begin(), heard.end());
  return heard;
}

struct WalkCase {
  StringView text;
  ReaderUnit unit;
  std::vector<String> heard;
};

TEST(ReaderUnits, AWalkEitherWayReadsEveryUnitOnce) {
  const WalkCase cases[] = {
      {u"a\r\n\U0001F600b", ReaderUnit::kCharacter, {u"a", u"\r\n", u"\U0001F600", u"b"}},
      {u"alpha beta,\r\n  gamma", ReaderUnit::kWord, {u"alpha ", u"beta", u",", u"\r\n", u"  ", u"gamma"}},
      {u"one\r\ntwo\r\n\r\nthree", ReaderUnit::kLine, {u"one\r\n", u"two\r\n", u"\r\n", u"three"}},
      {u"one\r\ntwo", ReaderUnit::kDocument, {u"one\r\ntwo"}},
      {u"", ReaderUnit::kLine, {u""}},
  };
  for (const WalkCase& test : cases) {
    TextDocument document;
    document.ReplaceAll(test.text);
    EXPECT_EQ(Walk(document, test.unit, 1), test.heard) << (&test - cases);
    EXPECT_EQ(Walk(document, test.unit, -1), test.heard) << (&test - cases);
  }
}

TEST(ReaderUnits, AnEmptyRangeMovesByBoundariesAndEndpointsPushEachOther) {
  TextDocument document;
  document.ReplaceAll(u"alpha beta gamma");
  const ReaderUnits words(document, ReaderUnit::kWord);
  TextSpan range{2, 2};
  EXPECT_EQ(MoveRange(words, range, 5), 3);  // to "beta", "gamma" and the text's end
  EXPECT_EQ(range.begin, 16u);
  EXPECT_EQ(MoveRange(words, range, -1), -1);
  EXPECT_EQ(range.begin, 11u);
  range = {0, 3};
  EXPECT_EQ(MoveRange(words, range, 0), 0);
  EXPECT_EQ(range.end, 3u);
  EXPECT_EQ(MoveEndpoint(words, range, false, 2), 2);
  EXPECT_EQ(range.begin, 11u);
  EXPECT_EQ(range.end, 11u);
}

TEST(ReaderUnits, ARangeKeptOverAnEditStaysInsideTheTextAndOnBoundaries) {
  const TextSpan clamped = ClampRange(u"a\r\nb\U0001F600", {2, 99});
  EXPECT_EQ(clamped.begin, 1u);
  EXPECT_EQ(clamped.end, 6u);
  EXPECT_EQ(ClampRange(u"ab", {5, 1}).end, 2u);
}

TEST(ReaderUnits, AWordOfMegabytesIsReadInPiecesOfTheReach) {
  TextDocument document;
  document.ReplaceAll(String(std::size_t{1} << 22, u'x'));
  const TextSpan unit = ReaderUnits(document, ReaderUnit::kWord).At(std::size_t{1} << 21);
  EXPECT_LE(unit.begin, std::size_t{1} << 21);
  EXPECT_GT(unit.end, std::size_t{1} << 21);
  EXPECT_LE(unit.end - unit.begin, kReaderWordReach);
}

TEST(ReaderUnits, AValueOfMegabytesIsItsStartAndHowMuchFollows) {
  const String start(kReaderTextCap - 1, u'x');
  const struct {
    String text;
    String value;
  } cases[] = {
      {u"a\r\nb", u"a\r\nb"},
      {start + u"yz", start + u"y\u2026 (1 more characters)"},
      {start + u"\U0001F600", start + u"\u2026 (2 more characters)"},  // the pair is not split
  };
  for (const auto& test : cases) EXPECT_EQ(ReaderValue(test.text), test.value) << test.text.size();
}

}  // namespace
}  // namespace host
