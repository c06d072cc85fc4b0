#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "host/runtime/runtime_error.h"
#include "tests/window/fake_window.h"
#include "tests/window/image_interfaces.h"
#include "window/jsonfrm.h"

namespace window {
namespace {

using testing::FakeWindow;

// An outer size with a frame, as a window manager reports it.
constexpr float kOuterHeight = 11400;
constexpr float kOuterWidth = 6855;

class Layout : public ::testing::Test {
 protected:
  void SetUp() override {
    window.height = kOuterHeight;
    window.width = kOuterWidth;
    form.Form_Load();
    window.log.clear();
  }
  float ExpectedHeight(float outer) const {
    return static_cast<float>((double{outer} - 1800) * (10890.0 / double{kOuterHeight}));
  }
  float ExpectedWidth(float outer) const {
    return static_cast<float>((double{outer} - 1330) * (6615.0 / double{kOuterWidth}));
  }

  FakeWindow window;
  JSONfrm form{window, testing::ImageInterfaces()};
};

TEST_F(Layout, LoadCapturesClientOverOuterRatios) {
  EXPECT_DOUBLE_EQ(form.HeightRatio, 10890.0 / kOuterHeight);
  EXPECT_DOUBLE_EQ(form.WidthRatio, 6615.0 / kOuterWidth);
}

TEST_F(Layout, FirstResizeReplacesTheDesignSizesInTheGivenOrder) {
  form.Form_Resize();
  const std::vector<std::string> expected{
      "Outputs.Top=1320",   "Inputs.Top=360",
      "Outputs.Left=960",   "Inputs.Left=960",
      "Outputs.Height=" + std::to_string(static_cast<int>(ExpectedHeight(kOuterHeight))),
      "Outputs.Width=" + std::to_string(static_cast<int>(ExpectedWidth(kOuterWidth))),
      "Inputs.Width=" + std::to_string(static_cast<int>(ExpectedWidth(kOuterWidth))),
  };
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(window.outputs.height, ExpectedHeight(kOuterHeight));
  EXPECT_EQ(window.outputs.width, ExpectedWidth(kOuterWidth));
  EXPECT_EQ(window.inputs.width, window.outputs.width);
}

TEST_F(Layout, SizesGrowLinearlyWithTheOuterSize) {
  for (float outer = 2000; outer <= 30000; outer += 1000) {
    window.height = outer;
    window.width = outer;
    form.Form_Resize();
    EXPECT_EQ(window.outputs.height, ExpectedHeight(outer)) << outer;
    EXPECT_EQ(window.outputs.width, ExpectedWidth(outer)) << outer;
    EXPECT_EQ(window.inputs.width, ExpectedWidth(outer)) << outer;
  }
}

TEST_F(Layout, AllowanceBordersGiveZeroAndSmallerSizesGoNegative) {
  window.height = 1800;
  window.width = 1330;
  form.Form_Resize();
  EXPECT_EQ(window.outputs.height, 0);
  EXPECT_EQ(window.outputs.width, 0);
  window.height = 100;
  window.width = 100;
  form.Form_Resize();  // the host clamps what it applies; the handler computes
  EXPECT_LT(window.outputs.height, 0);
  EXPECT_LT(window.inputs.width, 0);
}

TEST_F(Layout, MinimisedChangesNothing) {
  window.state = 1;
  window.height = 20000;
  form.Form_Resize();
  EXPECT_TRUE(window.log.empty());
}

TEST_F(Layout, MaximisedAndRestoredLayOutAgain) {
  for (std::int16_t state : {2, 0}) {
    window.state = state;
    window.height = state == 2 ? 15000 : kOuterHeight;
    window.log.clear();
    form.Form_Resize();
    EXPECT_EQ(window.log.size(), 7u) << state;
    EXPECT_EQ(window.outputs.height, ExpectedHeight(window.height)) << state;
  }
}

struct Injected {
  const char* name;
  float height;
  float width;
  std::size_t writes_kept;  // assignments made before the fault
};

class LayoutFault : public Layout, public ::testing::WithParamInterface<Injected> {};

TEST_P(LayoutFault, NonFiniteReadingRaisesOverflowAndKeepsEarlierAssignments) {
  const Injected& c = GetParam();
  window.height = c.height;
  window.width = c.width;
  try {
    form.Form_Resize();
    FAIL() << "no error";
  } catch (const host::RuntimeError& error) {
    EXPECT_EQ(error.Number(), host::ErrorNumber::kOverflow);
  }
  EXPECT_EQ(window.log.size(), c.writes_kept);
  EXPECT_EQ(window.outputs.References(), 1);
  EXPECT_EQ(window.inputs.References(), 1);
  EXPECT_EQ(window.References(), 1);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, LayoutFault,
                         ::testing::Values(Injected{"nan_height", kNaN, kOuterWidth, 4},
                                           Injected{"infinite_height", kInf, kOuterWidth, 4},
                                           Injected{"nan_width", kOuterHeight, kNaN, 5},
                                           Injected{"infinite_width", kOuterHeight, -kInf, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LayoutLoad, ZeroOuterSizeRaisesOverflow) {
  FakeWindow window;
  window.height = 0;
  JSONfrm form(window, testing::ImageInterfaces());
  EXPECT_THROW(form.Form_Load(), host::RuntimeError);
}

TEST(LayoutLoad, FailingReadNamesTheWindowMember) {
  FakeWindow window;
  window.failing.insert("ScaleWidth");
  JSONfrm form(window, testing::ImageInterfaces());
  try {
    form.Form_Load();
    FAIL() << "no error";
  } catch (const host::StatusError& error) {
    EXPECT_EQ(error.Object(), "JSONfrm");
    EXPECT_EQ(error.Member(), "ScaleWidth");
  }
  EXPECT_NE(form.HeightRatio, 0);  // set before the failing read
  EXPECT_EQ(form.WidthRatio, 0);
}

}  // namespace
}  // namespace window
