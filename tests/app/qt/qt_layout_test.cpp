// The window's proportional layout as the Qt backend applies it, headless.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <optional>

#include "host/start/dispatch.h"
#include "host/qt/qt_backend.h"
#include "host/objects/twips.h"
#include "host/start/start.h"
#include "window/jsonfrm.h"
#include "window/procedures.h"
#include "app/project_image.h"

namespace host::qt {
namespace {

// Counts the Resize events on their way to the form.
class CountingSink final : public EventSink {
 public:
  explicit CountingSink(EventSink& next) : next_(next) {}
  void Raise(std::string_view control, Event event) override {
    if (event == Event::kResize) ++resizes;
    next_.Raise(control, event);
  }
  int resizes = 0;

 private:
  EventSink& next_;
};

class QtLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    // As the start routine does it, from the records.
    plan_.emplace(PlanStart(app::kProjectImage, window::kJSONfrmCode));
    window_ = &backend_.CreateWindow(plan_->design.Design(), counting_);
    form_ = std::make_unique<window::JSONfrm>(*window_, InterfacesOf(plan_->project.objects.at(plan_->object)));
    dispatcher_.Attach(*form_, plan_->bindings);
    counting_.Raise("JSONfrm", Event::kLoad);
    window_->Show();
    Settle();
    top_ = QApplication::topLevelWidgets().value(0);
    ASSERT_NE(top_, nullptr);
    height_ratio_ = form_->HeightRatio;
    width_ratio_ = form_->WidthRatio;
  }

  // Long enough for a state change to settle into its Resize.
  static void Settle() { QTest::qWait(120); }

  QWidget* Box(const char* name) { return top_->findChild<QWidget*>(name); }

  float OuterHeight() { return PixelsToTwips(top_->frameGeometry().height(), top_->logicalDpiY()); }
  float OuterWidth() { return PixelsToTwips(top_->frameGeometry().width(), top_->logicalDpiX()); }

  // What the layout rules give for the current outer size, in pixels.
  int ExpectedHeightPixels() {
    const auto twips = static_cast<float>((double{OuterHeight()} - 1800) * height_ratio_);
    return TwipsToPixels(twips, top_->logicalDpiY(), true);
  }
  int ExpectedWidthPixels() {
    const auto twips = static_cast<float>((double{OuterWidth()} - 1330) * width_ratio_);
    return TwipsToPixels(twips, top_->logicalDpiX(), true);
  }

  void ExpectLaidOut(const std::string& when) {
    const int x_dpi = top_->logicalDpiX();
    const int y_dpi = top_->logicalDpiY();
    EXPECT_EQ(Box("Outputs")->geometry(),
              QRect(TwipsToPixels(960, x_dpi), TwipsToPixels(1320, y_dpi), ExpectedWidthPixels(),
                    ExpectedHeightPixels()))
        << when;
    EXPECT_EQ(Box("Inputs")->geometry(),
              QRect(TwipsToPixels(960, x_dpi), TwipsToPixels(360, y_dpi), ExpectedWidthPixels(),
                    TwipsToPixels(615, y_dpi)))
        << when;
  }

  QtBackend backend_;
  std::optional<StartPlan> plan_;
  Dispatcher dispatcher_{backend_, "Quillfen"};
  CountingSink counting_{dispatcher_};
  NativeWindow* window_ = nullptr;
  std::unique_ptr<window::JSONfrm> form_;
  QWidget* top_ = nullptr;
  double height_ratio_ = 0;
  double width_ratio_ = 0;
};

TEST_F(QtLayout, LoadRatiosAreClientOverOuterSize) {
  // The offscreen platform draws no frame, so client and outer size agree.
  EXPECT_DOUBLE_EQ(height_ratio_, 1.0);
  EXPECT_DOUBLE_EQ(width_ratio_, 1.0);
}

TEST_F(QtLayout, FirstShowingDeliversOneResizeThatLaysOutBothBoxes) {
  EXPECT_EQ(counting_.resizes, 1);
  ExpectLaidOut("first showing");
  EXPECT_NE(Box("Outputs")->height(), TwipsToPixels(9375, top_->logicalDpiY()))
      << "the design height is replaced at once";
}

TEST_F(QtLayout, BoxesFollowASeriesOfSizesOneResizeEach) {
  const QSize sizes[] = {{300, 400}, {600, 700}, {450, 760}, {200, 180}, {100, 100}};
  int expected_resizes = counting_.resizes;
  for (const QSize& size : sizes) {
    top_->resize(size);
    Settle();
    ++expected_resizes;
    EXPECT_EQ(counting_.resizes, expected_resizes) << size.width() << "x" << size.height();
    ExpectLaidOut(std::to_string(size.width()) + "x" + std::to_string(size.height()));
  }
}

TEST_F(QtLayout, SizesBelowTheAllowancesGiveEmptyBoxes) {
  top_->resize(60, 60);  // far below 1330 x 1800 twips
  Settle();
  EXPECT_EQ(Box("Outputs")->width(), 0);
  EXPECT_EQ(Box("Outputs")->height(), 0);
  EXPECT_EQ(Box("Inputs")->width(), 0);
  EXPECT_EQ(Box("Inputs")->height(), TwipsToPixels(615, top_->logicalDpiY()));
}

TEST_F(QtLayout, MinimisingChangesNothingAndRestoringLaysOutAgain) {
  top_->resize(500, 650);
  Settle();
  const QRect outputs = Box("Outputs")->geometry();
  const QRect inputs = Box("Inputs")->geometry();
  const int before = counting_.resizes;
  top_->showMinimized();
  Settle();
  EXPECT_GT(counting_.resizes, before) << "a state change is a Resize too";
  EXPECT_EQ(Box("Outputs")->geometry(), outputs);
  EXPECT_EQ(Box("Inputs")->geometry(), inputs);
  top_->showNormal();
  Settle();
  ExpectLaidOut("restored");
}

TEST_F(QtLayout, MaximisingLaysOutForTheNewSize) {
  const int before = counting_.resizes;
  top_->showMaximized();
  Settle();
  EXPECT_EQ(counting_.resizes, before + 1) << "state change and resize arrive as one Resize";
  ExpectLaidOut("maximised");
}

TEST_F(QtLayout, LabelsAndButtonKeepTheirDesignPlaces) {
  top_->resize(700, 800);
  Settle();
  for (const ControlDesign& control : window::kJSONfrmDesign.controls) {
    if (control.kind == ControlKind::kTextBox) continue;
    const int x = top_->logicalDpiX();
    const int y = top_->logicalDpiY();
    EXPECT_EQ(Box(std::string(control.name).c_str())->geometry(),
              QRect(TwipsToPixels(control.rect.left, x), TwipsToPixels(control.rect.top, y),
                    TwipsToPixels(control.rect.width, x), TwipsToPixels(control.rect.height, y)))
        << control.name;
  }
}

}  // namespace
}  // namespace host::qt
