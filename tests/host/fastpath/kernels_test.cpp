// Every kernel set against plain loops written here, on tables of small
// cases and on random texts, at every length and offset around the
// register widths (8 and 16 units, 16 and 32 bytes).
#include "host/fastpath/kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace host::fast {
namespace {

std::vector<Simd> Levels() {
  std::vector<Simd> levels;
  for (Simd level : {Simd::kScalar, Simd::kSse2, Simd::kAvx2}) {
    if (Supports(level)) levels.push_back(level);
  }
  return levels;
}

std::string LevelName(Simd level) {
  switch (level) {
    case Simd::kScalar:
      return "scalar";
    case Simd::kSse2:
      return "sse2";
    case Simd::kAvx2:
      return "avx2";
  }
  return "unknown";
}

// The oracle: one unit at a time, as plainly as it can be written.
std::u16string Replaced(std::u16string_view text, char16_t unit, std::u16string_view with) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == unit) {
      out += with;
    } else {
      out += c;
    }
  }
  return out;
}

std::size_t LeadingAscii(std::u16string_view text) {
  return static_cast<std::size_t>(
      std::find_if(text.begin(), text.end(), [](char16_t c) { return c >= 0x80; }) - text.begin());
}

// Units that sit at the edges of what the kernels tell apart.
constexpr char16_t kAlphabet[] = {u',', u'{', u'a', u'\t', u'\n', 0x7F,   0x80,   0xFF,
                                  0x100, 0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFF80,
                                  0xFFFF, 0x2C00, 0x002C | 0x0100};

std::u16string RandomText(std::mt19937& random, std::size_t length, int density) {
  std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(kAlphabet)) - 1);
  std::uniform_int_distribution<int> chance(0, 99);
  std::u16string text(length, u'x');
  for (char16_t& c : text) {
    if (chance(random) < density) c = kAlphabet[pick(random)];
  }
  return text;
}

}  // namespace

void PrintTo(Simd level, std::ostream* out) { *out << LevelName(level); }

namespace {

class TextKernelsTest : public testing::TestWithParam<Simd> {
 protected:
  const TextKernels& kernels() const { return *KernelsFor(GetParam()); }
};

TEST_P(TextKernelsTest, FindsTheUnitAtEveryPositionOfEveryLength) {
  for (std::size_t length = 0; length <= 80; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      std::u16string text(length, u'a');
      if (at < length) text[at] = u',';
      const char16_t* found = kernels().find_unit(text.data(), text.data() + length, u',');
      EXPECT_EQ(found - text.data(), static_cast<std::ptrdiff_t>(at)) << "length " << length;
    }
  }
}

TEST_P(TextKernelsTest, FindsTheFirstOfSeveralAndNotPastTheEnd) {
  const std::u16string text = std::u16string(40, u'a') + u",b," + std::u16string(40, u'a');
  EXPECT_EQ(kernels().find_unit(text.data(), text.data() + text.size(), u',') - text.data(), 40);
  // The match right behind the range does not count.
  EXPECT_EQ(kernels().find_unit(text.data(), text.data() + 40, u',') - text.data(), 40);
  EXPECT_EQ(kernels().find_unit(text.data() + 41, text.data() + text.size(), u',') - text.data(), 42);
}

TEST_P(TextKernelsTest, FindsTheFirstUnitOfALongTextWhereverItLies) {
  // Long searches read stretches of eight 4 KiB pages, a page's line at a
  // time; the positions lie on and around their edges, past the part read
  // straight on at the start, and in the ragged end.
  constexpr std::size_t kPage = 2048;
  constexpr std::size_t kStretch = 8 * kPage;
  constexpr std::size_t kLength = 5 * kStretch + 777;
  constexpr std::size_t kNone = kLength;
  const std::size_t positions[] = {kNone,
                                   0,
                                   kStretch - 1,
                                   kStretch,
                                   kStretch + 31,
                                   2 * kStretch + kPage - 1,
                                   2 * kStretch + kPage,
                                   2 * kStretch + 7 * kPage + 5,
                                   3 * kStretch - 1,
                                   4 * kStretch + 3 * kPage + 1000,
                                   5 * kStretch,
                                   kLength - 1};
  for (const std::size_t offset : {0, 1, 7}) {
    for (const std::size_t at : positions) {
      if (at != kNone && at < offset) continue;
      // Exactly as long as the range, so a read past it is caught.
      std::vector<char16_t> text(kLength, u'a');
      if (at != kNone) text[at] = u',';
      // A later match as well: the earlier must be the one found.
      if (at != kNone && at + 3 * kPage < kLength) text[at + 3 * kPage] = u',';
      const char16_t* found =
          kernels().find_unit(text.data() + offset, text.data() + text.size(), u',');
      const auto expected = std::find(text.begin() + static_cast<std::ptrdiff_t>(offset), text.end(), u',');
      EXPECT_EQ(found - text.data(), expected - text.begin()) << "at " << at << ", from " << offset;
    }
  }
}

struct Marked {
  char16_t unit;
  bool marked;
};

TEST_P(TextKernelsTest, FindsTabsAndSurrogatesOnly) {
  for (const Marked c : {Marked{u'\t', true}, Marked{0xD800, true}, Marked{0xDBFF, true},
                         Marked{0xDC00, true}, Marked{0xDFFF, true}, Marked{0xD7FF, false},
                         Marked{0xE000, false}, Marked{u'\n', false}, Marked{0x0009 | 0x0100, false},
                         Marked{0xF800, false}}) {
    for (std::size_t at : {0, 7, 8, 15, 16, 33, 70}) {
      std::u16string text(72, u'x');
      text[at] = c.unit;
      const char16_t* found = kernels().find_tab_or_surrogate(text.data(), text.data() + text.size());
      EXPECT_EQ(found - text.data(), static_cast<std::ptrdiff_t>(c.marked ? at : text.size()))
          << std::hex << "unit " << static_cast<int>(c.unit) << std::dec << " at " << at;
    }
  }
}

TEST_P(TextKernelsTest, CountsBeyondWhatOneVectorLaneCanHold) {
  // Every unit a match: each 16-bit lane of a vector count passes 65535.
  const std::u16string text(600'001, u',');
  EXPECT_EQ(kernels().count_unit(text.data(), text.data() + text.size(), u','), text.size());
  EXPECT_EQ(kernels().count_unit(text.data(), text.data() + text.size(), u'.'), 0u);
}

TEST_P(TextKernelsTest, ReplacesLikeTheOracleForEveryReplacementLength) {
  std::mt19937 random(14);
  for (const std::u16string_view with :
       {std::u16string_view(u""), std::u16string_view(u";"), std::u16string_view(u"\r\n"),
        std::u16string_view(u"{\r\n"), std::u16string_view(u"12345678"),
        std::u16string_view(u"123456789"), std::u16string_view(u"0123456789abcdef"),
        std::u16string_view(u"0123456789abcdefg")}) {
    for (std::size_t length = 0; length <= 70; ++length) {
      for (int density : {0, 10, 50, 100}) {
        std::u16string text = RandomText(random, length, density);
        std::replace(text.begin(), text.end(), char16_t{u'{'}, char16_t{u','});
        const std::u16string expected = Replaced(text, u',', with);
        // Room as the contract asks, then a guard that must stay untouched.
        const std::size_t room = length * std::max<std::size_t>(with.size(), 1) + kReplaceSlack;
        std::u16string out(room + 16, u'#');
        const char16_t* end = kernels().replace_unit_into(text.data(), text.data() + length, u',',
                                                          with.data(), with.size(), out.data());
        ASSERT_EQ(std::u16string_view(out.data(), static_cast<std::size_t>(end - out.data())),
                  expected)
            << "length " << length << " density " << density << " with " << with.size();
        EXPECT_EQ(out.substr(room), std::u16string(16, u'#'));
      }
    }
  }
}

TEST_P(TextKernelsTest, RandomTextsAtEveryOffsetMatchTheOracle) {
  std::mt19937 random(1414);
  for (int round = 0; round < 300; ++round) {
    const std::u16string text = RandomText(random, 200 + round % 37, 5 + round % 60);
    const std::size_t first = static_cast<std::size_t>(round) % 19;
    const std::size_t last = text.size() - static_cast<std::size_t>(round) % 23;
    const std::u16string_view part(text.data() + first, last - first);
    const char16_t* const begin = part.data();
    const char16_t* const end = begin + part.size();
    for (const char16_t unit : {u',', u'\t', u'{', char16_t{0xD800}}) {
      const auto expected_find = part.find(unit);
      const char16_t* found = kernels().find_unit(begin, end, unit);
      EXPECT_EQ(found == end ? std::u16string_view::npos : static_cast<std::size_t>(found - begin),
                expected_find);
      EXPECT_EQ(kernels().count_unit(begin, end, unit),
                static_cast<std::size_t>(std::count(part.begin(), part.end(), unit)));
      std::u16string out(part.size() * 3 + kReplaceSlack, u'#');
      const char16_t* written = kernels().replace_unit_into(begin, end, unit, u"\r\n}", 3, out.data());
      EXPECT_EQ(std::u16string_view(out.data(), static_cast<std::size_t>(written - out.data())),
                Replaced(part, unit, u"\r\n}"));
    }
    const auto tab_or_surrogate = std::find_if(part.begin(), part.end(), [](char16_t c) {
      return c == u'\t' || (c >= 0xD800 && c <= 0xDFFF);
    });
    EXPECT_EQ(kernels().find_tab_or_surrogate(begin, end) - begin, tab_or_surrogate - part.begin());
  }
}

TEST_P(TextKernelsTest, AsciiRunsAreTakenOnlyAsFarAsTheyGo) {
  std::mt19937 random(7);
  for (std::size_t length = 0; length <= 100; ++length) {
    for (std::size_t stop = 0; stop <= length; stop += 1 + length / 9) {
      std::u16string wide(length, u'a');
      for (std::size_t i = 0; i < length; ++i) wide[i] = static_cast<char16_t>(random() % 0x80);
      if (stop < length) wide[stop] = stop % 2 == 0 ? 0x80 : 0xFF80;
      std::string bytes(wide.begin(), wide.end());
      if (stop < length) bytes[stop] = static_cast<char>(0x80 | stop % 0x40);
      const std::size_t ascii = LeadingAscii(wide);

      std::u16string widened(length + 8, u'#');
      const std::size_t widened_count = kernels().widen_ascii(bytes.data(), length, widened.data());
      EXPECT_LE(widened_count, ascii);
      EXPECT_EQ(widened.substr(0, widened_count), wide.substr(0, widened_count));
      EXPECT_EQ(widened.substr(widened_count), std::u16string(length + 8 - widened_count, u'#'));

      std::string narrowed(length + 8, '#');
      const std::size_t narrowed_count = kernels().narrow_ascii(wide.data(), length, narrowed.data());
      EXPECT_LE(narrowed_count, ascii);
      EXPECT_EQ(narrowed.substr(0, narrowed_count), bytes.substr(0, narrowed_count));
      EXPECT_EQ(narrowed.substr(narrowed_count), std::string(length + 8 - narrowed_count, '#'));

      EXPECT_LE(kernels().ascii_units(wide.data(), length), ascii);
      if (GetParam() != Simd::kScalar) {
        // A vector set takes every whole register of the run.
        EXPECT_GT(widened_count + 32, ascii);
        EXPECT_GT(narrowed_count + 32, ascii);
        EXPECT_GT(kernels().ascii_units(wide.data(), length) + 32, ascii);
      }
    }
  }
}

// The oracle: every LF with a CR before it, the start behind it.
std::vector<std::size_t> NaiveLineStarts(std::u16string_view text, std::size_t from) {
  std::vector<std::size_t> starts;
  for (std::size_t at = std::max<std::size_t>(from, 1); at < text.size(); ++at) {
    if (text[at] == u'\n' && text[at - 1] == u'\r') starts.push_back(at + 1);
  }
  return starts;
}

// All the starts of [from, end) through batches of `room`.
std::vector<std::size_t> LineStartsInBatches(const TextKernels& kernels, std::u16string_view text,
                                             std::size_t from, std::size_t room) {
  std::vector<std::size_t> starts;
  std::vector<std::size_t> batch(room);
  const char16_t* at = text.data() + from;
  const char16_t* const end = text.data() + text.size();
  while (at != end) {
    const LineStarts found = kernels.line_starts(text.data(), at, end, batch.data(), room);
    EXPECT_LE(found.count, room);
    if (found.stop <= at) {
      ADD_FAILURE() << "no progress at " << at - text.data();
      break;
    }
    starts.insert(starts.end(), batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(found.count));
    at = found.stop;
  }
  return starts;
}

TEST_P(TextKernelsTest, FindsLineStartsWhereverTheirHalvesFall) {
  // A CR LF at every offset, including across two registers, and a scan
  // starting right behind a CR or at the very first unit.
  for (std::size_t at = 0; at + 1 < 70; ++at) {
    std::u16string text(70, u'x');
    text[at] = u'\r';
    text[at + 1] = u'\n';
    for (std::size_t from : {std::size_t{0}, at, at + 1, at + 2}) {
      EXPECT_EQ(LineStartsInBatches(kernels(), text, from, 64), NaiveLineStarts(text, from))
          << "break at " << at << " from " << from;
    }
  }
  // Lone halves and the first unit an LF: no line starts.
  const std::u16string lone = u"\n\r\r\rx\n\nab\ry" + std::u16string(40, u'\n') + u"\r";
  EXPECT_EQ(LineStartsInBatches(kernels(), lone, 0, 64), std::vector<std::size_t>{});
}

TEST_P(TextKernelsTest, LineStartsOfRandomTextsFitAnyRoom) {
  std::mt19937 random(1515);
  for (int round = 0; round < 200; ++round) {
    std::u16string text(100 + round % 90, u'x');
    for (char16_t& c : text) {
      // CR and LF often, and a unit holding both their bytes.
      const int pick = static_cast<int>(random() % 6);
      c = pick <= 1 ? u'\r' : pick == 2 ? u'\n' : pick == 3 ? char16_t{0x0D0A} : u'a';
    }
    const std::size_t from = static_cast<std::size_t>(round) % 13;
    for (std::size_t room : {1, 2, 7, 16, 17, 33, 512}) {
      ASSERT_EQ(LineStartsInBatches(kernels(), text, from, room), NaiveLineStarts(text, from))
          << "round " << round << " room " << room;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, TextKernelsTest, testing::ValuesIn(Levels()),
                         [](const auto& info) { return LevelName(info.param); });

TEST(Simd, TheBestKernelsAreAtLeastTheBaseline) {
  EXPECT_TRUE(Supports(Simd::kScalar));
#if defined(__SSE2__)
  EXPECT_NE(&Kernels(), KernelsFor(Simd::kScalar));
#endif
}

}  // namespace
}  // namespace host::fast
