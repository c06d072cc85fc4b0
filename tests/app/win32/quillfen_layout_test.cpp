// Starts quillfen.exe and checks the layout of its boxes as the window is
// resized, maximised, minimised and restored.
#include "tests/app/win32/running_program.h"

namespace quillfen_app_testing {
namespace {

// The layout the program must give its boxes for an outer size, computed
// from the sizes it had when it was loaded.
class Layout {
 public:
  Layout(RECT outer, RECT client, Dpi dpi)
      : dpi_(dpi),
        height_ratio_(static_cast<double>(Twips(client.bottom - client.top, dpi.y)) /
                      static_cast<double>(Twips(outer.bottom - outer.top, dpi.y))),
        width_ratio_(static_cast<double>(Twips(client.right - client.left, dpi.x)) /
                     static_cast<double>(Twips(outer.right - outer.left, dpi.x))) {}

  int OutputsHeight(RECT outer) const {
    return Scaled(Twips(outer.bottom - outer.top, dpi_.y), 1800, height_ratio_, dpi_.y);
  }
  int BoxesWidth(RECT outer) const {
    return Scaled(Twips(outer.right - outer.left, dpi_.x), 1330, width_ratio_, dpi_.x);
  }
  int X(float twips) const { return host::TwipsToPixels(twips, dpi_.x); }
  int Y(float twips) const { return host::TwipsToPixels(twips, dpi_.y); }

 private:
  static float Twips(int pixels, int dpi) { return host::PixelsToTwips(pixels, dpi); }
  static int Scaled(float reading, float allowance, double ratio, int dpi) {
    const double twips = (static_cast<double>(reading) - static_cast<double>(allowance)) * ratio;
    return host::TwipsToPixels(static_cast<float>(twips), dpi, true);
  }

  Dpi dpi_;
  double height_ratio_;
  double width_ratio_;
};

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(program_.Window(), nullptr);
    GetClientRect(program_.Window(), &client_);
    outer_ = OuterOf(program_.Window());
  }

  void ExpectLaidOut(const char* when) {
    const Layout layout(outer_, client_, dpi_);
    const RECT outer = OuterOf(program_.Window());
    const RECT outputs = PlaceOf(program_.Control(kOutputsId));
    const RECT inputs = PlaceOf(program_.Control(kInputsId));
    EXPECT_EQ(outputs.left, layout.X(960)) << when;
    EXPECT_EQ(outputs.top, layout.Y(1320)) << when;
    EXPECT_EQ(inputs.left, layout.X(960)) << when;
    EXPECT_EQ(inputs.top, layout.Y(360)) << when;
    EXPECT_EQ(outputs.bottom - outputs.top, layout.OutputsHeight(outer)) << when;
    EXPECT_EQ(outputs.right - outputs.left, layout.BoxesWidth(outer)) << when;
    EXPECT_EQ(inputs.right - inputs.left, layout.BoxesWidth(outer)) << when;
    EXPECT_EQ(inputs.bottom - inputs.top, layout.Y(615)) << when << ": Inputs keeps its height";
    const RECT command1 = PlaceOf(program_.Control(kCommand1Id));
    EXPECT_EQ(command1.left, layout.X(120)) << when;
    EXPECT_EQ(command1.top, layout.Y(360)) << when;
  }

  void SetOuterSize(int width, int height) {
    SetWindowPos(program_.Window(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }

  RunningProgram program_;
  Dpi dpi_ = ScreenDpi();
  RECT outer_{};
  RECT client_{};
};

TEST_F(LayoutTest, OpensWithTheDesignClientSizeAndFocusInInputs) {
  EXPECT_EQ(client_.right, host::TwipsToPixels(6615, dpi_.x));
  EXPECT_EQ(client_.bottom, host::TwipsToPixels(10890, dpi_.y));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(program_.ThreadId(), &gui));
  EXPECT_EQ(gui.hwndFocus, program_.Control(kInputsId));
  EXPECT_TRUE(TextOf(program_.Control(kInputsId)).empty());
  EXPECT_TRUE(TextOf(program_.Control(kOutputsId)).empty());
}

TEST_F(LayoutTest, TheFirstResizeAlreadyScalesTheBoxes) { ExpectLaidOut("at start"); }

TEST_F(LayoutTest, BoxesFollowEveryNewOuterSize) {
  for (const SIZE& size : {SIZE{600, 700}, SIZE{300, 250}, SIZE{900, 980}, SIZE{450, 800}}) {
    SetOuterSize(size.cx, size.cy);
    ExpectLaidOut(("at " + std::to_string(size.cx) + "x" + std::to_string(size.cy)).c_str());
  }
}

TEST_F(LayoutTest, TooLowAWindowGivesOutputsNoHeight) {
  const Layout layout(outer_, client_, dpi_);
  SetOuterSize(400, layout.Y(1800));
  ExpectLaidOut("at the height allowance");
  EXPECT_EQ(PlaceOf(program_.Control(kOutputsId)).bottom - PlaceOf(program_.Control(kOutputsId)).top, 0);
  SetOuterSize(400, layout.Y(1800) - 40);
  ExpectLaidOut("below the height allowance");
  EXPECT_EQ(PlaceOf(program_.Control(kOutputsId)).bottom - PlaceOf(program_.Control(kOutputsId)).top, 0);
}

TEST_F(LayoutTest, MinimisingChangesNothingAndRestoringOrMaximisingLaysOutAgain) {
  SetOuterSize(500, 600);
  const RECT outputs_before = PlaceOf(program_.Control(kOutputsId));
  const RECT inputs_before = PlaceOf(program_.Control(kInputsId));
  ShowWindow(program_.Window(), SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(program_.Window()));
  const RECT outputs_minimised = PlaceOf(program_.Control(kOutputsId));
  const RECT inputs_minimised = PlaceOf(program_.Control(kInputsId));
  EXPECT_TRUE(EqualRect(&outputs_minimised, &outputs_before));
  EXPECT_TRUE(EqualRect(&inputs_minimised, &inputs_before));
  ShowWindow(program_.Window(), SW_RESTORE);
  ExpectLaidOut("restored");
  ShowWindow(program_.Window(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(program_.Window()));
  ExpectLaidOut("maximised");
}

TEST_F(LayoutTest, ClosingTheWindowEndsTheProgramWithStatusZero) {
  EXPECT_EQ(program_.Close(), 0);
}

}  // namespace
}  // namespace quillfen_app_testing
