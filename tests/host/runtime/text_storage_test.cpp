#include "host/runtime/text_storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <thread>
#include <tuple>

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

// Texts whose blocks move small pages, and long ones whose blocks move
// large pages; both hold several whole pages of either kind.
constexpr std::size_t kSmallPagedBytes = 16 * kLargeTextBytes;
constexpr std::size_t kTextSizes[] = {kSmallPagedBytes, kLargePagedTextBytes};

String Patterned(std::size_t bytes) {
  String text(bytes / sizeof(char16_t), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = Pattern(i);
  return text;
}

std::uintptr_t PageUp(std::uintptr_t at, std::uintptr_t page) { return (at + page - 1) / page * page; }
std::uintptr_t PageDown(std::uintptr_t at, std::uintptr_t page) { return at / page * page; }

TEST_F(TextStorageTest, OnlyVeryLongTextsMoveLargePages) {
#if defined(__linux__)
  const auto system_page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const String small_a = Patterned(kSmallPagedBytes);
  const String small_b = Patterned(kSmallPagedBytes);
  const String large_a = Patterned(kLargePagedTextBytes);
  const String large_b = Patterned(kLargePagedTextBytes);
  EXPECT_EQ(SpentPageBytes(small_a.data(), small_b.data()), system_page);
  EXPECT_EQ(SpentPageBytes(large_a.data(), small_a.data()), system_page);
  EXPECT_EQ(SpentPageBytes(small_a.data(), large_a.data()), system_page);
  const std::size_t large_page = SpentPageBytes(large_a.data(), large_b.data());
  EXPECT_GE(large_page, std::size_t{2} << 20);
  EXPECT_EQ(large_page % system_page, 0u);
  // Aligned, so that whole large pages hold the units from the first on.
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(large_a.data()) % large_page, 4096u);
#else
  GTEST_SKIP() << "only Linux moves pages";
#endif
}

// A position in a text: a share of its length, and bytes on from there.
struct Point {
  double share;
  std::ptrdiff_t bytes;
  std::size_t In(std::size_t size) const {
    return static_cast<std::size_t>(static_cast<double>(size) * share) + bytes;
  }
};

struct MoveCase {
  const char* name;
  Point first;  // of the spent text
  Point last;
  Point after;  // of the text moved into
  Point end;
};

class MoveSpentPagesTest
    : public TextStorageTest,
      public testing::WithParamInterface<std::tuple<MoveCase, std::size_t>> {};

TEST_P(MoveSpentPagesTest, WholePagesCarryTheirUnitsAndLeaveZeroesBehind) {
  const auto& [c, size] = GetParam();
  const std::size_t first = c.first.In(size);
  const std::size_t last = c.last.In(size);
  const std::size_t after = c.after.In(size);
  const std::size_t end = c.end.In(size);
  String spent = Patterned(size);
  String into;
  SpentMove result{};
  std::size_t page = 0;
  auto move = [&](char16_t* units, std::size_t units_size) {
    page = SpentPageBytes(spent.data(), units);
    result = MoveSpentPages(spent.data(), first, last, units, after, end);
    return units_size;
  };
  Overwrite(into, spent.size(), move);

  // What should have moved, from the pages the ranges hold.
  std::size_t moved = 0;
  std::uintptr_t from = 0;
  std::uintptr_t to = 0;
  std::size_t dealt_with = last;
  if (page != 0) {
    from = PageUp(Address(spent.data(), first), page);
    const std::uintptr_t from_end = PageDown(Address(spent.data(), last), page);
    to = PageUp(Address(into.data(), after), page);
    const std::uintptr_t to_end = PageDown(Address(into.data(), end), page);
    if (from >= from_end) {
      dealt_with = first;  // left for a later call to take up
    } else if (to < to_end) {
      moved = std::min(from_end - from, to_end - to);
      if (moved == from_end - from) dealt_with = from_end - Address(spent.data(), 0);
    }
  }
  EXPECT_EQ(result.spent, dealt_with);
  if (moved == 0) {
    EXPECT_EQ(result.into, after);
  } else {
    EXPECT_EQ(Address(into.data(), result.into), to + moved);
  }
  const std::uintptr_t spent_at = Address(spent.data(), 0);
  for (std::size_t i = 0; i < spent.size(); ++i) {
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
    testing::Combine(
        testing::Values(
            MoveCase{"all_to_the_same_place", {0, 0}, {1, 0}, {0, 0}, {1, 0}},
            MoveCase{"ragged_range_further_on", {0.18, 100}, {0.69, 7}, {0.3, 5}, {1, 0}},
            MoveCase{"as_much_as_fits", {0, 0}, {1, 0}, {0.75, 0}, {1, -3}},
            MoveCase{"no_whole_page_to_move", {0, 100}, {0, 3000}, {0, 0}, {1, 0}},
            MoveCase{"no_whole_page_of_room", {0, 0}, {1, 0}, {1, -3000}, {1, 0}}),
        testing::ValuesIn(kTextSizes)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) == kLargePagedTextBytes ? "_large_pages" : "_small_pages");
    });

class MoveStretchesTest : public TextStorageTest, public testing::WithParamInterface<std::size_t> {};

TEST_P(MoveStretchesTest, PagesMovedAStretchAtATimeAllArrive) {
  // As a scan hands its text on: stretches shorter than a page, each call
  // going on from where the last one left off.
  const std::size_t size = GetParam();
  String spent = Patterned(size);
  String into;
  std::size_t page = 0;
  auto move = [&](char16_t* units, std::size_t units_size) {
    page = SpentPageBytes(spent.data(), units);
    SpentMove at{0, 0};
    for (std::size_t done = 0; done < size;) {
      done = std::min(size, done + kLargeTextBytes / 3);
      at = MoveSpentPages(spent.data(), at.spent, done, units, at.into, size);
    }
    return units_size;
  };
  Overwrite(into, spent.size(), move);

  // Both blocks start alike within a page, so every whole page lands at
  // its own offset.
  std::uintptr_t from = 0;
  std::uintptr_t from_end = 0;
  if (page != 0) {
    from = PageUp(Address(spent.data(), 0), page);
    from_end = PageDown(Address(spent.data(), size), page);
    ASSERT_LT(from, from_end);
  }
  for (std::size_t i = 0; i < spent.size(); ++i) {
    const std::uintptr_t at = Address(spent.data(), i * sizeof(char16_t));
    const bool gone = at >= from && at < from_end;
    ASSERT_EQ(spent[i], gone ? u'\0' : Pattern(i)) << "spent unit " << i;
    if (gone) {
      ASSERT_EQ(into[i], Pattern(i)) << "unit " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MoveStretchesTest, testing::ValuesIn(kTextSizes),
                         [](const auto& info) {
                           return info.param == kLargePagedTextBytes ? "large_pages" : "small_pages";
                         });

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
