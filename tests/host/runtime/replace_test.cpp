#include "host/runtime/replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "host/runtime/runtime_error.h"

namespace host {
namespace {

struct ReplaceCase {
  const char* name;
  StringView text;
  StringView find;
  StringView with;
  std::int32_t start;
  std::int32_t count;
  StringView expected;
};

class ReplaceSemantics : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceSemantics, GivesExpectedText) {
  const ReplaceCase& c = GetParam();
  EXPECT_EQ(Replace(c.text, c.find, c.with, c.start, c.count, Compare::kBinary), c.expected);
  // A text given up to the call gives the same result.
  EXPECT_EQ(Replace(String(c.text), c.find, c.with, c.start, c.count, Compare::kBinary), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceSemantics,
    testing::Values(
        ReplaceCase{"empty_text", u"", u",", u"\r\n", 1, -1, u""},
        ReplaceCase{"no_occurrence", u"abc", u",", u"\r\n", 1, -1, u"abc"},
        ReplaceCase{"all_occurrences", u"a,b,,c", u",", u";", 1, -1, u"a;b;;c"},
        ReplaceCase{"removal", u"\ta\t\tb\t", u"\t", u"", 1, -1, u"ab"},
        ReplaceCase{"inserted_text_not_rescanned", u"{{", u"{", u"{{", 1, -1, u"{{{{"},
        ReplaceCase{"replacement_containing_find", u"a", u"a", u"aa", 1, -1, u"aa"},
        ReplaceCase{"multi_unit_find", u"abcabcab", u"abc", u"X", 1, -1, u"XXab"},
        ReplaceCase{"overlapping_find_scans_on", u"aaaa", u"aa", u"b", 1, -1, u"bb"},
        ReplaceCase{"start_drops_front", u"a,b,c", u",", u";", 3, -1, u"b;c"},
        ReplaceCase{"start_past_end", u"abc", u"a", u"b", 4, -1, u""},
        ReplaceCase{"count_limits", u"a,b,c,d", u",", u";", 1, 2, u"a;b;c,d"},
        ReplaceCase{"count_zero", u"a,b", u",", u";", 1, 0, u"a,b"},
        ReplaceCase{"empty_find", u"abc", u"", u"x", 1, -1, u"abc"},
        ReplaceCase{"binary_is_case_exact", u"aAa", u"a", u"b", 1, -1, u"bAb"},
        ReplaceCase{"surrogates_kept", u"\U0001F600,\U0001F600", u",", u"\r\n", 1, -1,
                    u"\U0001F600\r\n\U0001F600"},
        // Long enough to cross the vectorised search's blocks on both sides.
        ReplaceCase{"match_in_every_lane", u"0123456789abcdef0123456789abcdef0123456,89abcdef,",
                    u",", u"", 1, -1, u"0123456789abcdef0123456789abcdef012345689abcdef"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Replace, MatchesNaiveReplacementAtEveryPositionOfALongText) {
  for (std::size_t at = 0; at < 100; ++at) {
    String text(100, u'x');
    text[at] = u',';
    String expected = text.substr(0, at) + u"\r\n" + text.substr(at + 1);
    EXPECT_EQ(Replace(text, u",", u"\r\n"), expected) << "comma at " << at;
  }
}

// The oracle: the runs between occurrences, each followed by `with`.
String Naive(const String& text, char16_t unit, StringView with) {
  String out;
  for (auto run = text.begin();;) {
    const auto found = std::find(run, text.end(), unit);
    out.append(run, found);
    if (found == text.end()) return out;
    out += with;
    run = found + 1;
  }
}

// Texts of `size` units with the commas bunched in one run near the end,
// spread evenly, or only at both ends.
std::vector<String> LongTexts(std::size_t size) {
  String bunched(size, u'a');
  for (std::size_t i = size - 200'000; i < size - 100'000; ++i) bunched[i] = u',';
  String even(size, u'a');
  for (std::size_t i = 0; i < size; i += 7) even[i] = u',';
  String ends(size, u'a');
  ends.front() = u',';
  ends.back() = u',';
  return {bunched, even, ends};
}

TEST(Replace, LongTextsMatchTheNaiveReplacementWhereverTheMatchesLie) {
  // Long enough for the pages of a text given up to move under its result.
  for (const String& text : LongTexts(std::size_t{5} << 20)) {
    for (const StringView with : {StringView(u""), StringView(u"\r\n"), StringView(u"{\r\n")}) {
      const String expected = Naive(text, u',', with);
      EXPECT_EQ(Replace(text, u",", with), expected) << "with " << with.size();
      EXPECT_EQ(Replace(String(text), u",", with), expected) << "given up, with " << with.size();
    }
  }
}

TEST(Replace, AGivenUpTextGivesWhatTheReferenceGivesForRandomTexts) {
  // The given-up form runs the vector kernels; the reference is the plain
  // loop over StringView. Replacements of every width up to past the
  // widest register, over texts with matches dense, sparse and in runs.
  std::mt19937 random(2718);
  constexpr char16_t kUnits[] = {u',', u'{', u'a', u'\r', 0xD800, 0xFFFF};
  for (int round = 0; round < 400; ++round) {
    const auto length = std::uniform_int_distribution<std::size_t>(0, 3000)(random);
    const int density = std::uniform_int_distribution<int>(0, 100)(random);
    String text(length, u'x');
    for (char16_t& unit : text) {
      if (std::uniform_int_distribution<int>(0, 99)(random) < density) {
        unit = kUnits[std::uniform_int_distribution<std::size_t>(0, std::size(kUnits) - 1)(random)];
      }
    }
    if (round % 2 == 0) text.reserve(3 * length);  // room to grow in, as an earlier step leaves
    String with(std::uniform_int_distribution<std::size_t>(0, 40)(random), u'.');
    if (!with.empty()) with.front() = u',';  // the replacement holds what is found
    const String expected = Replace(StringView(text), u",", with);
    EXPECT_EQ(Replace(std::move(text), u",", with), expected) << "round " << round;
  }
}

TEST(Replace, WideReplacementsOfDenseRunsMatchTheNaiveReplacement) {
  // A run of matches makes each block's result as wide as it can be, on
  // both sides of the width at which a replacement leaves the
  // register-wide kernel.
  const String text = LongTexts(std::size_t{1} << 20)[0];
  for (const std::size_t width : {4, 8, 9, 16, 17, 64, 65}) {
    String with(width, u'.');
    with.front() = u'<';
    with.back() = u'>';
    EXPECT_EQ(Replace(String(text), u",", with), Naive(text, u',', with)) << "width " << width;
  }
}

#if defined(__linux__)
// Bytes of the process's resident set: now, or at its peak since the last
// ResetPeak.
std::size_t Resident(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stoul(line.substr(field.size())) * 1024;
  }
  return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

TEST(Replace, AGrowingStepOfAGivenUpTextHoldsLittleMoreThanItsResult) {
  String text = LongTexts(std::size_t{26} << 20)[1];
  const String expected = Naive(text, u',', u"{\r\n");
  ResetPeak();
  const std::size_t before = Resident("VmRSS:");
  if (Resident("VmHWM:") > before + (std::size_t{4} << 20)) GTEST_SKIP() << "no peak reset here";
  const String result = Replace(std::move(text), u",", u"{\r\n");
  const std::size_t result_bytes = result.size() * sizeof(char16_t);
  // Text and result both whole would be more than twice the result's
  // growth; moving the text's pages under the result keeps the step to the
  // growth and the few megabytes in flight.
  EXPECT_LT(Resident("VmHWM:") - before, result_bytes / 2);
  EXPECT_EQ(result, expected);
}
#endif

TEST(Replace, AGivenUpTextKeepsItsStorageWhereTheResultFits) {
  // Nothing found, units only removed or swapped one for one, or a result
  // that fits the room the text has: no new string is made.
  const String text = u"a,b," + String(1000, u'x') + u",c";
  for (const StringView with : {StringView(u""), StringView(u";")}) {
    String given = text;
    const char16_t* storage = given.data();
    const String result = Replace(std::move(given), u",", with);
    EXPECT_EQ(result.data(), storage) << "with " << with.size();
    EXPECT_EQ(result, Naive(text, u',', with));
  }
  String roomy = text;
  roomy.reserve(3 * text.size());
  const char16_t* room = roomy.data();
  EXPECT_EQ(Replace(std::move(roomy), u",", u"\r\n").data(), room);
  String unmatched = text;
  const char16_t* storage = unmatched.data();
  const String result = Replace(std::move(unmatched), u"\t", u"\r\n");
  EXPECT_EQ(result.data(), storage);
  EXPECT_EQ(result, text);
}

struct InvalidCase {
  const char* name;
  std::int32_t start;
  std::int32_t count;
  Compare compare;
  const char* message;
};

class ReplaceRejects : public testing::TestWithParam<InvalidCase> {};

TEST_P(ReplaceRejects, ArgumentsItCannotHonour) {
  const InvalidCase& c = GetParam();
  try {
    (void)Replace(u"a,b", u",", u";", c.start, c.count, c.compare);
    FAIL() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), ErrorNumber::kInvalidProcedureCall);
    EXPECT_EQ(error.Description(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceRejects,
    testing::Values(
        InvalidCase{"start_zero", 0, -1, Compare::kBinary,
                    "Invalid procedure call: start must be 1 or more"},
        InvalidCase{"count_below_minus_one", 1, -2, Compare::kBinary,
                    "Invalid procedure call: count must be -1 or more"},
        InvalidCase{"text_comparison", 1, -1, Compare::kText,
                    "Invalid procedure call: only binary comparison is supported"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StrCat, JoinsLeftThenRight) {
  EXPECT_EQ(StrCat(u"", u""), u"");
  EXPECT_EQ(StrCat(u"ab", u""), u"ab");
  EXPECT_EQ(StrCat(u"", u"cd"), u"cd");
  EXPECT_EQ(StrCat(u"ab", u"cd"), u"abcd");
}

}  // namespace
}  // namespace host
