#include "host/textbox/line_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace host {
namespace {

constexpr double kTab = 32;

// Advances that tell characters apart: a pair counts differently from its halves.
double Advance(char32_t character) {
  if (character >= 0x10000) return 11;
  return 3 + static_cast<double>(character % 5);
}

// The plain walk from the line's start that the marks must agree with.
double NaiveX(StringView line, std::size_t offset) {
  double x = 0;
  for (std::size_t i = 0; i < offset;) {
    const char16_t unit = line[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
        line[i + 1] <= 0xDFFF) {
      x += Advance(0x10000);
      i += 2;
    } else {
      x += unit == u'\t' ? (std::floor(x / kTab) + 1) * kTab - x : Advance(unit);
      ++i;
    }
  }
  return x;
}

bool IsInsidePair(StringView line, std::size_t offset) {
  return offset > 0 && offset < line.size() && line[offset - 1] >= 0xD800 && line[offset - 1] <= 0xDBFF &&
         line[offset] >= 0xDC00 && line[offset] <= 0xDFFF;
}

String RandomLine(std::mt19937& random, std::size_t length) {
  static constexpr char16_t kUnits[] = {u'a', u'b', u'\t', u'\xD83D', u'\xDE00', u'7', u'\r'};
  String line;
  for (std::size_t i = 0; i < length; ++i) line += kUnits[random() % std::size(kUnits)];
  return line;
}

TEST(LineGeometry, PositionsInLongLinesMatchAPlainWalk) {
  std::mt19937 random(11);
  for (int round = 0; round < 6; ++round) {
    LineGeometry geometry(Advance, kTab);
    const String line = RandomLine(random, 3 * LineGeometry::kChunkUnits + random() % 5000);
    for (int probe = 0; probe < 200; ++probe) {
      std::size_t offset = random() % (line.size() + 1);
      if (IsInsidePair(line, offset)) --offset;
      ASSERT_DOUBLE_EQ(geometry.X(0, line, offset), NaiveX(line, offset)) << offset;
    }
  }
}

TEST(LineGeometry, BeforeAndNearestFindTheBoundaryAroundX) {
  std::mt19937 random(5);
  LineGeometry geometry(Advance, kTab);
  const String line = RandomLine(random, 2 * LineGeometry::kChunkUnits + 77);
  const double width = NaiveX(line, line.size());
  for (int probe = 0; probe < 300; ++probe) {
    const double x = std::uniform_real_distribution<double>(-10, width + 10)(random);
    const LineGeometry::Hit hit = geometry.Before(0, line, x);
    EXPECT_FALSE(IsInsidePair(line, hit.offset));
    EXPECT_DOUBLE_EQ(hit.x, NaiveX(line, hit.offset));
    if (x >= 0) {
      EXPECT_LE(hit.x, x);
    }
    const double after = hit.offset < line.size() ? geometry.Step(line, hit).x : hit.x;
    if (hit.offset < line.size()) {
      EXPECT_GT(after, x);
    }
    const std::size_t nearest = geometry.Nearest(0, line, x);
    const double distance = std::abs(NaiveX(line, nearest) - x);
    EXPECT_LE(distance, std::abs(hit.x - x));
    EXPECT_LE(distance, std::abs(after - x));
  }
}

TEST(LineGeometry, AnEditInvalidatesOnlyWhatFollowsIt) {
  std::mt19937 random(3);
  LineGeometry geometry(Advance, kTab);
  const std::size_t key = 1000;  // the line starts at 1000 in its document
  String line = RandomLine(random, 4 * LineGeometry::kChunkUnits);
  geometry.X(key, line, line.size());
  for (int edit = 0; edit < 40; ++edit) {
    const std::size_t at = random() % (line.size() + 1);
    line.insert(at, RandomLine(random, 1 + random() % 3));
    geometry.Invalidate(key + at);
    for (const std::size_t probe : {line.size(), at, line.size() / 2, std::size_t{0}}) {
      std::size_t offset = probe;
      if (IsInsidePair(line, offset)) --offset;
      ASSERT_DOUBLE_EQ(geometry.X(key, line, offset), NaiveX(line, offset)) << edit;
    }
  }
}

TEST(LineGeometry, AnEditBeforeTheLineDropsItsMarks) {
  LineGeometry geometry(Advance, kTab);
  String line(2 * LineGeometry::kChunkUnits, u'a');
  geometry.X(50, line, line.size());
  line.assign(2 * LineGeometry::kChunkUnits, u'b');  // what an earlier edit moved here
  geometry.Invalidate(10);
  EXPECT_DOUBLE_EQ(geometry.X(50, line, line.size()), NaiveX(line, line.size()));
}

}  // namespace
}  // namespace host
