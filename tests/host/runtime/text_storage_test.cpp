#include "host/runtime/text_storage.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "host/runtime/string.h"

namespace host {
namespace {

constexpr std::size_t kLargeUnits = kLargeTextBytes / sizeof(char16_t);

class TextStorageTest : public testing::Test {
 protected:
  void SetUp() override { TrimTextCache(); }
  void TearDown() override { TrimTextCache(); }
};

TEST_F(TextStorageTest, TheNextStepOfAGrowingTextTakesTheBlockTheStepBeforeReleased) {
  const char16_t* block = nullptr;
  {
    const String step(4 * kLargeUnits, u'a');
    block = step.data();
  }
  EXPECT_GT(CachedTextBytes(), 0u);
  // A few percent longer, as each conversion step is.
  String next(4 * kLargeUnits + kLargeUnits / 4, u'b');
  EXPECT_EQ(next.data(), block);
  EXPECT_EQ(CachedTextBytes(), 0u);
  EXPECT_EQ(next, String(4 * kLargeUnits + kLargeUnits / 4, u'b'));
}

TEST_F(TextStorageTest, AKeptBlockFarLargerThanARequestIsLeftForALargerOne) {
  const char16_t* block = nullptr;
  {
    const String large(16 * kLargeUnits, u'a');
    block = large.data();
  }
  const String small(2 * kLargeUnits, u'b');
  EXPECT_NE(small.data(), block);
  EXPECT_GE(CachedTextBytes(), 16 * kLargeTextBytes);
}

TEST_F(TextStorageTest, OnlyTheTwoBlocksReleasedLastAreKept) {
  // Blocks kept beyond the ones a next step can take would stay resident on
  // top of the texts until the program goes idle.
  (void)String(16 * kLargeUnits, u'a');
  (void)String(2 * kLargeUnits, u'b');
  (void)String(3 * kLargeUnits, u'c');
  EXPECT_GE(CachedTextBytes(), 5 * kLargeTextBytes);
  EXPECT_LT(CachedTextBytes(), 16 * kLargeTextBytes);
}

TEST_F(TextStorageTest, ACopyAndTheFirstStepAfterItBothReuseKeptBlocks) {
  const char16_t* blocks[2] = {};
  {
    const String first(4 * kLargeUnits, u'a');
    const String second(4 * kLargeUnits, u'b');
    blocks[0] = first.data();
    blocks[1] = second.data();
  }
  const String copy(4 * kLargeUnits, u'c');
  const String step(4 * kLargeUnits + kLargeUnits / 8, u'd');
  EXPECT_TRUE((copy.data() == blocks[0] && step.data() == blocks[1]) ||
              (copy.data() == blocks[1] && step.data() == blocks[0]));
  EXPECT_EQ(CachedTextBytes(), 0u);
}

TEST_F(TextStorageTest, SmallStringsAreNotKept) {
  (void)String(kLargeUnits / 4, u'a');
  EXPECT_EQ(CachedTextBytes(), 0u);
}

TEST_F(TextStorageTest, TrimGivesEveryKeptBlockBack) {
  for (std::size_t size : {2, 3, 5, 9, 17, 33}) (void)String(size * kLargeUnits, u'a');
  EXPECT_GT(CachedTextBytes(), 0u);
  TrimTextCache();
  EXPECT_EQ(CachedTextBytes(), 0u);
}

TEST_F(TextStorageTest, StringsKeepTheirTextAcrossTheLargeThreshold) {
  String text;
  for (std::size_t i = 0; i < 3 * kLargeUnits; ++i) text.push_back(static_cast<char16_t>(u'a' + i % 26));
  const String copy = text;
  String moved = std::move(text);
  ASSERT_EQ(moved.size(), 3 * kLargeUnits);
  EXPECT_EQ(moved, copy);
  for (std::size_t i = 0; i < moved.size(); i += 4093) {
    ASSERT_EQ(moved[i], static_cast<char16_t>(u'a' + i % 26)) << i;
  }
  moved.resize(10);
  moved.shrink_to_fit();
  EXPECT_EQ(moved, u"abcdefghij");
}

TEST_F(TextStorageTest, ThreadsMakingLargeStringsAtOnceKeepTheirTexts) {
  const auto work = [](char16_t fill, bool& intact) {
    intact = true;
    for (std::size_t round = 0; round < 40; ++round) {
      const String text(kLargeUnits + round * 4099, fill);
      intact = intact && text.find_first_not_of(fill) == String::npos;
    }
  };
  bool first = false;
  bool second = false;
  std::thread other(work, u'a', std::ref(first));
  work(u'b', second);
  other.join();
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
}

}  // namespace
}  // namespace host
