#include "host/textbox/text_navigation.h"

#include <gtest/gtest.h>

#include "host/textbox/line_breaks.h"

namespace host {
namespace {

struct StepCase {
  StringView text;
  std::size_t from;
  std::size_t next;
  std::size_t previous;
};

TEST(TextNavigation, StepsNeverStopInsideABreakOrAPair) {
  const StepCase cases[] = {
      {u"ab", 0, 1, 0},
      {u"a\r\nb", 1, 3, 0},
      {u"a\r\nb", 3, 4, 1},
      {u"\r\r\n", 1, 3, 0},
      {u"\n\r", 1, 2, 0},
      {u"x\xD83D\xDE00y", 1, 3, 0},
      {u"x\xD83D\xDE00y", 3, 4, 1},
      {u"\xDE00\xD83D", 0, 1, 0},  // reversed halves are two lone units
      {u"\xDE00\xD83D", 2, 2, 1},
  };
  for (const StepCase& test : cases) {
    EXPECT_EQ(NextBoundary(test.text, test.from), test.next) << (&test - cases);
    EXPECT_EQ(PreviousBoundary(test.text, test.from), test.previous) << (&test - cases);
  }
  EXPECT_EQ(SnapToBoundary(u"a\r\nb", 2), 1u);
  EXPECT_EQ(SnapToBoundary(u"a\xD83D\xDE00", 2), 1u);
  EXPECT_EQ(SnapToBoundary(u"a\r\rb", 2), 2u);
  EXPECT_EQ(SnapToBoundary(u"ab", 9), 2u);
}

struct WordCase {
  StringView text;
  std::size_t from;
  std::size_t next;
  std::size_t previous;
  TextSpan word;
};

TEST(TextNavigation, WordsStopAtClassChangesAndLineBreaks) {
  const WordCase cases[] = {
      {u"foo bar", 0, 4, 0, {0, 3}},
      {u"foo bar", 2, 4, 0, {0, 3}},
      {u"foo bar", 5, 7, 4, {4, 7}},
      {u"foo  bar", 3, 5, 0, {3, 5}},
      {u"\"a\":1", 0, 1, 0, {0, 1}},
      {u"\"a\":1", 1, 2, 0, {1, 2}},
      {u"ab\r\ncd", 1, 2, 0, {0, 2}},
      {u"ab\r\ncd", 2, 4, 0, {0, 2}},
      {u"ab\r\ncd", 4, 6, 2, {4, 6}},
      {u"ab \r\ncd", 5, 7, 3, {5, 7}},
      {u"x\u00A0y", 0, 2, 0, {0, 1}},
      {u"caf\u00E9 au", 5, 7, 0, {5, 7}},
  };
  for (const WordCase& test : cases) {
    const auto index = &test - cases;
    EXPECT_EQ(NextWordStart(test.text, test.from), test.next) << index;
    EXPECT_EQ(PreviousWordStart(test.text, test.from), test.previous) << index;
    const TextSpan word = WordAt(test.text, test.from);
    EXPECT_EQ(word.begin, test.word.begin) << index;
    EXPECT_EQ(word.end, test.word.end) << index;
  }
}

struct BreakCase {
  StringView in;
  StringView crlf;
  StringView lf;
};

TEST(LineBreaks, IncomingLfBecomesCrLfAndOnlyCrLfGoesOutAsLf) {
  const BreakCase cases[] = {
      {u"", u"", u""},
      {u"a\nb", u"a\r\nb", u"a\nb"},
      {u"a\r\nb", u"a\r\nb", u"a\nb"},
      {u"a\rb", u"a\rb", u"a\rb"},
      {u"\r\r\n\n\r", u"\r\r\n\r\n\r", u"\r\n\n\r"},
      {u"\n\n", u"\r\n\r\n", u"\n\n"},
      {u"\u2028\u2029\u0085", u"\u2028\u2029\u0085", u"\u2028\u2029\u0085"},
  };
  for (const BreakCase& test : cases) {
    EXPECT_EQ(ToCrLf(test.in), test.crlf) << (&test - cases);
    EXPECT_EQ(CrLfToLf(test.in), test.lf) << (&test - cases);
  }
}

TEST(LineBreaks, LongTextsGetACrBeforeEveryLoneLfWhereverItFalls) {
  // Lone LFs and CR LF pairs at every offset around the search's blocks.
  for (std::size_t at = 0; at < 70; ++at) {
    String lone(80, u'x');
    lone[at] = u'\n';
    EXPECT_EQ(ToCrLf(lone), lone.substr(0, at) + u"\r" + lone.substr(at)) << at;
    String paired(80, u'x');
    paired[at] = u'\r';
    paired[at + 1] = u'\n';
    EXPECT_EQ(ToCrLf(paired), paired) << at;
  }
}

}  // namespace
}  // namespace host
