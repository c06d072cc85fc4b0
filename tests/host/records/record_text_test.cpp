#include "host/records/record_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace host {
namespace {

std::span<const std::uint8_t> Span(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(RecordText, TerminatedTextsAreViewedAndSkippedWithTheirZero) {
  const std::string bytes("ab\0\0c\0", 6);
  ByteReader in(Span(bytes), "r");
  EXPECT_EQ(ReadTerminated(in, "first"), "ab");
  EXPECT_EQ(ReadTerminated(in, "empty"), "");
  EXPECT_EQ(ReadTerminated(in, "last"), "c");
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(RecordText, CountedTextHasItsLengthThenItsZero) {
  const std::string bytes("\x03\x00" "abc\0" "\x00\x00\0", 9);
  ByteReader in(Span(bytes), "r");
  EXPECT_EQ(ReadCounted(in, "caption"), "abc");
  EXPECT_EQ(ReadCounted(in, "empty"), "");
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(RecordText, MalformedTextsNameFieldAndOffset) {
  struct Case {
    std::string bytes;
    bool counted;
    const char* message;
  };
  const Case cases[] = {
      {std::string("abc", 3), false, "r: name at offset 1: has no zero terminator"},
      {std::string("ab\xC3\xA9\0", 5), false, "r: name at offset 3: holds 0xC3, which is not an ASCII letter"},
      {std::string("\x02\x00" "ab", 4), true, "r: name at offset 5: has no zero terminator"},
      {std::string("\x02\x00" "abX", 5), true, "r: name at offset 5: has no zero terminator"},
      {std::string("\x09\x00" "ab\0", 5), true, "r: name at offset 3: runs past the end of the record"},
      {std::string("\x02\x00" "a\0\0", 5), true, "r: name at offset 4: holds 0x00, which is not an ASCII letter"},
  };
  for (const Case& c : cases) {
    // One leading byte, so that offsets count from the record's start.
    const std::string bytes = "-" + c.bytes;
    ByteReader in(Span(bytes), "r");
    in.Seek(1, "start");
    try {
      if (c.counted) {
        ReadCounted(in, "name");
      } else {
        ReadTerminated(in, "name");
      }
      ADD_FAILURE() << c.message << ": no error";
    } catch (const RecordError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace host
