#include "convert/json_format.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace convert {
namespace {

struct Case {
  const char* name;
  host::StringView input;
  host::StringView expected;
};

class Readable : public testing::TestWithParam<Case> {};

TEST_P(Readable, GivesExpectedText) {
  const Case& c = GetParam();
  const host::String input(c.input);
  EXPECT_EQ(JSONFormat(input), c.expected);
  EXPECT_EQ(input, c.input) << "the caller's text must not change";
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, Readable,
    testing::Values(
        Case{"empty", u"", u""},
        Case{"unchanged", u"abc", u"abc"},
        Case{"nested_object", u"{\"a\":1,\"b\":{\"c\":2}}",
             u"{\r\n\"a\":1\r\n\"b\":{\r\n\"c\":2\r\n}\r\n}"},
        Case{"empty_object", u"{}", u"{\r\n\r\n}"},
        Case{"array", u"[1,2,3]", u"[1\r\n2\r\n3]"},
        Case{"close_comma_open", u"},{", u"\r\n}\r\n{\r\n"},
        Case{"comma_inside_quotes", u"{\"s\":\"x,y\"}", u"{\r\n\"s\":\"x\r\ny\"\r\n}"},
        Case{"input_line_ends_leave_cr", u"{\r\n\t\"a\": 1\r\n}",
             u"{\r\n\r\"a\": 1\r\r\n}"},
        Case{"tabs_and_lf_removed", u"\ta\n\tb\n", u"ab"},
        Case{"other_characters_copied", u" :[]\"\\\u00A0\U0001F600", u" :[]\"\\\u00A0\U0001F600"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Readable, SecondPassLeavesALoneCrBehindEachFormerBreak) {
  EXPECT_EQ(JSONFormat(JSONFormat(u"{a}")), u"{\r\n\ra\r\r\n}");
}

// One left-to-right pass, written independently of the replacement chain.
host::String Oracle(host::StringView text) {
  host::String out;
  for (char16_t unit : text) {
    switch (unit) {
      case u'\t':
      case u'\n':
        break;
      case u'{':
        out += u"{\r\n";
        break;
      case u'}':
        out += u"\r\n}";
        break;
      case u',':
        out += u"\r\n";
        break;
      default:
        out += unit;
    }
  }
  return out;
}

TEST(Readable, MatchesASinglePassOnRandomText) {
  constexpr std::array<char16_t, 14> kAlphabet{u'\t', u'\n', u'\r', u'{', u'}', u',', u'a',
                                               u' ',  u':',  u'"',  u'\u00E9', u'\u2029',
                                               0xD83D, 0xDE00};  // a surrogate pair's halves
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 300);
  for (int round = 0; round < 2000; ++round) {
    host::String text(length(random), u'a');
    for (char16_t& unit : text) unit = kAlphabet[pick(random)];
    ASSERT_EQ(JSONFormat(text), Oracle(text)) << "round " << round;
  }
}

// The command-line driver converts a long input a piece at a time, cut
// anywhere; that is sound only while every replacement looks at one unit.
TEST(Readable, PiecesCutAnywhereConvertAsTheWhole) {
  const host::String text = u"\t{\"a\":[1,2],\n\"b\":{\"c\":\"\u00E9,}\"}}\r\n";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    EXPECT_EQ(JSONFormat(text.substr(0, cut)) + JSONFormat(text.substr(cut)), JSONFormat(text))
        << "cut at " << cut;
  }
}

}  // namespace
}  // namespace convert
