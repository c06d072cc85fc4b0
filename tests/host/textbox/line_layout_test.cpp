#include "host/textbox/line_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "host/textbox/bidi_levels.h"
#include "tests/host/textbox/cell_surface.h"

namespace host {
namespace {

using testing_surface::ArabicKeyedJson;
using testing_surface::ReadScreenByScreen;
using testing_surface::Reading;

String Number(int value) {
  const std::string digits = std::to_string(value);
  return String(digits.begin(), digits.end());
}

// A line cut into many segments reads in the order the bidirectional
// algorithm gives the whole line, a screen at a time as painting asks:
// minified JSON whose keys are Arabic is one right-to-left stretch from the
// first key to the last value, so the last pair stands right after the
// brace; runs neither gap nor overlap and stand still whichever screen
// shows them.
TEST(LineLayout, LongLinesReadInTheOrderOfTheWholeLine) {
  String words;
  for (int i = 0; i < 300; ++i) {
    words.append(i % 7 == 0 ? u"word" : u"\u0643\u0644\u0645\u0629").append(Number(i)).append(u" ");
  }
  for (const String& text : {ArabicKeyedJson(300), words}) {
    ASSERT_GT(CutSegmentCount(text.size()), 4u);
    const Reading reading = ReadScreenByScreen(text);
    EXPECT_TRUE(reading.ended);
    EXPECT_TRUE(reading.steady) << "a run moved between screens";
    EXPECT_TRUE(reading.tiled) << "runs gap or overlap";
    EXPECT_EQ(reading.order, VisualOrder(BidiLevels(text)));
  }
}
// A right-to-left run longer than the stretch the levels are resolved in is
// ordered a stretch at a time, and stays put wherever the screens fall.
TEST(LineLayout, ARunLongerThanAStretchStandsStill) {
  const String line(3 * SegmentPlaces::kLevelSegments * kCutUnits / 2, u'\u0639');
  const Reading reading = ReadScreenByScreen(line);
  EXPECT_TRUE(reading.ended && reading.steady && reading.tiled);
  EXPECT_EQ(reading.order.size(), line.size());
}

}  // namespace
}  // namespace host
