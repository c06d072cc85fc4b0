#include "host/runtime/utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/host/unicode_text.h"

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

// The oracle: code points encoded one at a time, as plainly as possible.
void Encode(char32_t code, std::string& utf8, String& utf16) {
  if (code < 0x80) {
    utf8 += static_cast<char>(code);
  } else if (code < 0x800) {
    utf8 += static_cast<char>(0xC0 | code >> 6);
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    utf8 += static_cast<char>(0xE0 | code >> 12);
    utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | code >> 18);
    utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  }
  testing_text::AppendCodePoint(utf16, code);
}

TEST(Utf8, RandomTextsWithAsciiRunsOfEveryLengthRoundTrip) {
  // Runs of ASCII around the vector widths, between code points of every
  // encoded length.
  std::mt19937 random(8);
  constexpr char32_t kOthers[] = {0x80, 0xE9, 0x7FF, 0x800, 0x2029, 0xD7FF, 0xE000, 0xFFFF,
                                  0x10000, 0x1F600, 0x10FFFF};
  for (int round = 0; round < 400; ++round) {
    std::string utf8;
    String utf16;
    while (utf8.size() < 300) {
      const std::size_t run = random() % 70;
      for (std::size_t i = 0; i < run; ++i) Encode(static_cast<char32_t>(random() % 0x80), utf8, utf16);
      Encode(kOthers[random() % std::size(kOthers)], utf8, utf16);
    }
    ASSERT_EQ(Utf8ToUtf16(utf8), utf16) << "round " << round;
    ASSERT_EQ(Utf16ToUtf8(utf16), utf8) << "round " << round;
    EXPECT_EQ(Utf8Length(utf16), utf8.size());
  }
}

TEST(Utf8, IntoWritesNothingPastTheConvertedText) {
  const std::string utf8 = std::string(50, 'a') + "\xC3\xA9" + std::string(40, 'b');
  std::u16string wide(utf8.size() + 4, u'#');
  const std::size_t units = Utf8ToUtf16Into(utf8, wide.data());
  EXPECT_EQ(units, 91u);
  EXPECT_EQ(wide.substr(units), std::u16string(wide.size() - units, u'#'));
  std::string narrow(3 * units + 4, '#');
  const std::size_t bytes = Utf16ToUtf8Into(std::u16string_view(wide.data(), units), narrow.data());
  EXPECT_EQ(narrow.substr(0, bytes), utf8);
  EXPECT_EQ(narrow.substr(bytes), std::string(narrow.size() - bytes, '#'));
}

TEST(Utf8, FaultsBehindLongAsciiRunsNameTheirOffset) {
  for (std::size_t run = 0; run <= 100; ++run) {
    const std::string ascii(run, 'x');
    try {
      (void)Utf8ToUtf16(ascii + "\xFF" + ascii);
      ADD_FAILURE() << "accepted after " << run;
    } catch (const EncodingError& error) {
      EXPECT_EQ(std::string(error.what()), "invalid UTF-8 lead byte at offset " + std::to_string(run));
      EXPECT_EQ(error.Fault(), "invalid UTF-8 lead byte");
      EXPECT_EQ(error.Offset(), run);
    }
    try {
      (void)Utf16ToUtf8(std::u16string(run, u'x') + u'\xDC00' + std::u16string(run, u'x'));
      ADD_FAILURE() << "accepted after " << run;
    } catch (const EncodingError& error) {
      EXPECT_EQ(std::string(error.what()), "unpaired UTF-16 surrogate at offset " + std::to_string(run));
    }
  }
}

}  // namespace
}  // namespace host
