#include "host/textbox/line_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "host/textbox/text_buffer.h"

namespace host {
namespace {

// The starts a plain reading of the text gives: behind every CR LF.
std::vector<std::size_t> NaiveStarts(StringView text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'\r' && text[i + 1] == u'\n') starts.push_back(i + 2);
  }
  return starts;
}

std::vector<std::size_t> Starts(const LineIndex& index) {
  std::vector<std::size_t> starts;
  for (std::size_t line = 0; line < index.Count(); ++line) starts.push_back(index.Start(line));
  return starts;
}

// Texts made mostly of the units that make or break line ends.
String RandomText(std::mt19937& random, std::size_t length) {
  static constexpr char16_t kUnits[] = {u'\r', u'\n', u'a', u'\r', u'\n', u'{', u'\u2029', u' '};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kUnits) - 1);
  String text;
  for (std::size_t i = 0; i < length; ++i) text += kUnits[pick(random)];
  return text;
}

struct LineCase {
  const char16_t* text;
  std::vector<std::size_t> starts;
};

TEST(LineIndex, OnlyCrLfEndsALine) {
  const LineCase cases[] = {
      {u"", {0}},
      {u"abc", {0}},
      {u"a\r\nb", {0, 3}},
      {u"\r\n", {0, 2}},
      {u"a\rb\nc", {0}},
      {u"\n\r", {0}},
      {u"\r\r\n\n", {0, 3}},
      {u"a\u2028b\u2029c\u0085d", {0}},
      {u"\r\n\r\n", {0, 2, 4}},
  };
  for (const LineCase& test : cases) {
    LineIndex index;
    index.Build(test.text);
    EXPECT_EQ(Starts(index), test.starts) << "case " << (&test - cases);
  }
}

TEST(LineIndex, FindsBreaksAcrossTheVectorisedBlocks) {
  // A break at every offset around the 8- and 32-unit blocks of the search.
  for (std::size_t at = 0; at < 70; ++at) {
    String text(80, u'x');
    text[at] = u'\r';
    text[at + 1] = u'\n';
    LineIndex index;
    index.Build(text);
    EXPECT_EQ(Starts(index), (std::vector<std::size_t>{0, at + 2})) << at;
  }
}

TEST(LineIndex, LineOfAndEndsMatchTheStarts) {
  LineIndex index;
  const String text = u"ab\r\n\r\ncd\r";
  index.Build(text);
  ASSERT_EQ(index.Count(), 3u);
  EXPECT_EQ(index.End(0, text.size()), 2u);
  EXPECT_EQ(index.End(1, text.size()), 4u);
  EXPECT_EQ(index.End(2, text.size()), text.size());
  const std::size_t lines[] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 2};
  for (std::size_t position = 0; position <= text.size(); ++position) {
    EXPECT_EQ(index.LineOf(position), lines[position]) << position;
  }
  EXPECT_EQ(index.LongestLine(text.size()), 2u) << "cd\\r";
}

TEST(LineIndex, EditsKeepTheIndexEqualToARebuild) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    TextBuffer buffer;
    buffer.Replace(0, 0, RandomText(random, random() % 60));
    for (int edit = 0; edit < 30; ++edit) {
      const std::size_t position = random() % (buffer.Size() + 1);
      const std::size_t length = random() % 5;
      buffer.Replace(position, length, RandomText(random, random() % 5));
      ASSERT_EQ(Starts(buffer.Lines()), NaiveStarts(buffer.Text())) << "round " << round << " edit " << edit;
    }
  }
}

TEST(LineIndex, TextsPastTheNarrowLimitKeepEveryAnswer) {
  // Starts kept at full width beyond the limit (lowered to reach it here):
  // edits that cross it either way, and rebuilds, give what a reading of
  // the text gives.
  constexpr std::size_t kLimit = 40;
  std::mt19937 random(11);
  for (int round = 0; round < 100; ++round) {
    LineIndex index(kLimit);
    String text = RandomText(random, random() % 60);
    index.Build(text);
    for (int edit = 0; edit < 30; ++edit) {
      const std::size_t position = random() % (text.size() + 1);
      const std::size_t removed = std::min<std::size_t>(random() % 12, text.size() - position);
      const String inserted = RandomText(random, random() % 12);
      text.replace(position, removed, inserted);
      if (edit % 10 == 9) {
        index.Build(text);
      } else {
        index.Update(text, position, removed, inserted.size());
      }
      const std::vector<std::size_t> starts = NaiveStarts(text);
      ASSERT_EQ(Starts(index), starts) << "round " << round << " edit " << edit;
      for (std::size_t at = 0; at <= text.size(); ++at) {
        const auto line = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1);
        ASSERT_EQ(index.LineOf(at), line) << at;
      }
    }
  }
}

}  // namespace
}  // namespace host
