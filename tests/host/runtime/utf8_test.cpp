#include "host/runtime/utf8.h"

#include <gtest/gtest.h>

namespace host {
namespace {

struct Valid {
  const char* name;
  std::string_view utf8;
  StringView utf16;
};

class Utf8RoundTrip : public testing::TestWithParam<Valid> {};

TEST_P(Utf8RoundTrip, DecodesAndEncodesBack) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8RoundTrip,
    testing::Values(Valid{"empty", "", u""}, Valid{"ascii", "{\"a\":1}\r\n", u"{\"a\":1}\r\n"},
                    Valid{"nul", std::string_view("a\0b", 3), StringView(u"a\0b", 3)},
                    Valid{"two_bytes", "\xC3\xA9\xC2\xA0", u"\u00E9\u00A0"},
                    Valid{"three_bytes", "\xE2\x80\xA9\xEF\xBF\xBF", u"\u2029\uFFFF"},
                    Valid{"four_bytes", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Invalid {
  const char* name;
  std::string_view utf8;
  const char* message;
};

class Utf8Rejects : public testing::TestWithParam<Invalid> {};

TEST_P(Utf8Rejects, WithOffset) {
  try {
    (void)Utf8ToUtf16(GetParam().utf8);
    FAIL() << "accepted";
  } catch (const EncodingError& error) {
    EXPECT_STREQ(error.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Rejects,
    testing::Values(Invalid{"stray_continuation", "ab\x80", "invalid UTF-8 lead byte at offset 2"},
                    Invalid{"bad_lead", "\xFF", "invalid UTF-8 lead byte at offset 0"},
                    Invalid{"cut_at_end", "a\xE2\x80", "UTF-8 sequence cut short at offset 1"},
                    Invalid{"cut_inside", "\xE2\x41\x41", "UTF-8 sequence cut short at offset 0"},
                    Invalid{"overlong", "\xC0\xAF", "overlong UTF-8 sequence at offset 0"},
                    Invalid{"overlong_three", "\xE0\x80\xAF", "overlong UTF-8 sequence at offset 0"},
                    Invalid{"surrogate", "\xED\xA0\x80", "UTF-8 encoded surrogate at offset 0"},
                    Invalid{"too_large", "\xF4\x90\x80\x80", "UTF-8 code point past U+10FFFF at offset 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf16ToUtf8, RejectsUnpairedSurrogates) {
  for (StringView text : {StringView(u"a\xD800"), StringView(u"\xDC00"), StringView(u"\xD800x")}) {
    EXPECT_THROW((void)Utf16ToUtf8(text), EncodingError);
  }
}

}  // namespace
}  // namespace host
