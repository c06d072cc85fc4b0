#include "host/runtime/text_storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <thread>

#if defined(__linux__)
#include <unistd.h>
#endif

#include "host/runtime/string.h"
#include "host/runtime/string_overwrite.h"

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

TEST_F(TextStorageTest, ABlockIsFreshUntilAStringHasWrittenIt) {
  const char16_t* block = nullptr;
  {
    String first;
    first.reserve(4 * kLargeUnits);
    EXPECT_TRUE(FreshLargeText(first.data()));
    first.assign(4 * kLargeUnits, u'a');
    block = first.data();
  }
  const String again(4 * kLargeUnits, u'b');
  ASSERT_EQ(again.data(), block);
  EXPECT_FALSE(FreshLargeText(again.data()));
}

std::uintptr_t Address(const char16_t* units, std::size_t byte) {
  return reinterpret_cast<std::uintptr_t>(units) + byte;
}

char16_t Pattern(std::size_t unit) { return static_cast<char16_t>(1 + unit % 4093); }

// Long enough for many whole pages of any system.
constexpr std::size_t kTextBytes = 16 * kLargeTextBytes;
constexpr std::size_t kTextUnits = kTextBytes / sizeof(char16_t);

String Patterned() {
  String text(kTextUnits, u'\0');
  for (std::size_t i = 0; i < kTextUnits; ++i) text[i] = Pattern(i);
  return text;
}

// The pages the system moves: none but on Linux.
std::uintptr_t MovablePage() {
#if defined(__linux__)
  return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
#else
  return 0;
#endif
}

std::uintptr_t PageUp(std::uintptr_t at, std::uintptr_t page) { return (at + page - 1) / page * page; }
std::uintptr_t PageDown(std::uintptr_t at, std::uintptr_t page) { return at / page * page; }

struct MoveCase {
  const char* name;
  std::size_t first;  // bytes of the spent text
  std::size_t last;
  std::size_t after;  // bytes of the text moved into
  std::size_t end;
};

class MoveSpentPagesTest : public TextStorageTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveSpentPagesTest, WholePagesCarryTheirUnitsAndLeaveZeroesBehind) {
  const MoveCase& c = GetParam();
  String spent = Patterned();
  String into;
  SpentMove result{};
  auto move = [&](char16_t* units, std::size_t size) {
    result = MoveSpentPages(spent.data(), c.first, c.last, units, c.after, c.end);
    return size;
  };
  Overwrite(into, kTextUnits, move);

  // What should have moved, from the pages the ranges hold.
  std::size_t moved = 0;
  std::uintptr_t from = 0;
  std::uintptr_t to = 0;
  std::size_t dealt_with = c.last;
  if (const std::uintptr_t page = MovablePage(); page != 0) {
    from = PageUp(Address(spent.data(), c.first), page);
    const std::uintptr_t from_end = PageDown(Address(spent.data(), c.last), page);
    to = PageUp(Address(into.data(), c.after), page);
    const std::uintptr_t to_end = PageDown(Address(into.data(), c.end), page);
    if (from >= from_end) {
      dealt_with = c.first;  // left for a later call to take up
    } else if (to < to_end) {
      moved = std::min(from_end - from, to_end - to);
      if (moved == from_end - from) dealt_with = from_end - Address(spent.data(), 0);
    }
  }
  EXPECT_EQ(result.spent, dealt_with);
  if (moved == 0) {
    EXPECT_EQ(result.into, c.after);
  } else {
    EXPECT_EQ(Address(into.data(), result.into), to + moved);
  }
  const std::uintptr_t spent_at = Address(spent.data(), 0);
  for (std::size_t i = 0; i < kTextUnits; ++i) {
    const std::uintptr_t at = spent_at + i * sizeof(char16_t);
    const bool gone = at >= from && at < from + moved;
    ASSERT_EQ(spent[i], gone ? u'\0' : Pattern(i)) << "spent unit " << i;
    if (gone) {
      const std::size_t landed = (to + (at - from) - Address(into.data(), 0)) / sizeof(char16_t);
      ASSERT_EQ(into[landed], Pattern(i)) << "unit " << i << " at " << landed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveSpentPagesTest,
    testing::Values(
        MoveCase{"all_to_the_same_place", 0, kTextBytes, 0, kTextBytes},
        MoveCase{"ragged_range_further_on", 3'000'100, 11'500'007, 5'000'005, kTextBytes},
        MoveCase{"as_much_as_fits", 0, kTextBytes, kTextBytes * 3 / 4, kTextBytes - 3},
        MoveCase{"no_whole_page_to_move", 100, 3000, 0, kTextBytes},
        MoveCase{"no_whole_page_of_room", 0, kTextBytes, kTextBytes - 3000, kTextBytes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextStorageTest, PagesMovedAStretchAtATimeAllArrive) {
  // As a scan hands its text on: stretches shorter than a page, each call
  // going on from where the last one left off.
  String spent = Patterned();
  String into;
  auto move = [&](char16_t* units, std::size_t size) {
    SpentMove at{0, 0};
    for (std::size_t done = 0; done < kTextBytes;) {
      done = std::min(kTextBytes, done + kLargeTextBytes / 3);
      at = MoveSpentPages(spent.data(), at.spent, done, units, at.into, kTextBytes);
    }
    return size;
  };
  Overwrite(into, kTextUnits, move);

  // Both blocks start alike within a page, so every whole page lands at
  // its own offset.
  std::uintptr_t from = 0;
  std::uintptr_t from_end = 0;
  if (const std::uintptr_t page = MovablePage(); page != 0) {
    from = PageUp(Address(spent.data(), 0), page);
    from_end = PageDown(Address(spent.data(), kTextBytes), page);
    ASSERT_LT(from, from_end);
  }
  for (std::size_t i = 0; i < kTextUnits; ++i) {
    const std::uintptr_t at = Address(spent.data(), i * sizeof(char16_t));
    const bool gone = at >= from && at < from_end;
    ASSERT_EQ(spent[i], gone ? u'\0' : Pattern(i)) << "spent unit " << i;
    if (gone) {
      ASSERT_EQ(into[i], Pattern(i)) << "unit " << i;
    }
  }
}

TEST_F(TextStorageTest, ABlockWhosePagesMovedAwayIsFreshAgain) {
  const char16_t* block = nullptr;
  {
    String spent(4 * kLargeUnits, u'a');
    block = spent.data();
    String into;
    auto move = [&](char16_t* units, std::size_t size) {
      (void)MoveSpentPages(spent.data(), 0, size * sizeof(char16_t), units, 0,
                           size * sizeof(char16_t));
      return size;
    };
    Overwrite(into, 4 * kLargeUnits, move);
  }
  // The two kept blocks, taken again: the one written in place stays
  // resident, the other lost its pages.
  const String first(4 * kLargeUnits, u'b');
  const String second(4 * kLargeUnits, u'c');
  const bool first_was_spent = first.data() == block;
  ASSERT_TRUE(first_was_spent || second.data() == block);
  const String& was_spent = first_was_spent ? first : second;
  const String& was_written = first_was_spent ? second : first;
  EXPECT_FALSE(FreshLargeText(was_written.data()));
#if defined(__linux__)
  EXPECT_TRUE(FreshLargeText(was_spent.data()));
#else
  EXPECT_FALSE(FreshLargeText(was_spent.data()));
#endif
}

}  // namespace
}  // namespace host
