#include "host/textbox/segment_places.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(SegmentPlaces, ShapedWidthsMoveTheSegmentsAfterThemAndNoOthers) {
  // Every unit estimated one pixel wide; no space, so segments start at
  // whole multiples of the cut length.
  LineGeometry geometry([](char32_t) { return 1.0; }, 8);
  SegmentPlaces places(geometry, {});
  const String line(5 * kCutUnits, u'x');
  EXPECT_DOUBLE_EQ(places.StartX(0, line, 3), 3.0 * kCutUnits) << "the estimate, before any shaping";
  places.NoteWidth(0, line, 1, kCutUnits - 40.0);
  places.NoteWidth(0, line, 3, kCutUnits + 10.0);
  EXPECT_DOUBLE_EQ(places.StartX(0, line, 1), kCutUnits);
  EXPECT_DOUBLE_EQ(places.StartX(0, line, 2), places.StartX(0, line, 1) + kCutUnits - 40.0) << "no gap";
  EXPECT_DOUBLE_EQ(places.StartX(0, line, 4), 4.0 * kCutUnits - 30);
  EXPECT_EQ(places.SegmentAtX(0, line, 2.0 * kCutUnits - 41), 1u);
  EXPECT_EQ(places.SegmentAtX(0, line, 2.0 * kCutUnits - 40), 2u);
  places.Invalidate(0);
  EXPECT_DOUBLE_EQ(places.StartX(0, line, 4), 4.0 * kCutUnits) << "an edit drops what was measured";
}

}  // namespace
}  // namespace host
