// The window's proportional layout as the Qt backend applies it, headless.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <functional>
#include <optional>

#include "host/start/dispatch.h"
#include "host/qt/qt_backend.h"
#include "host/qt/qt_window.h"
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
    top_ = dynamic_cast<QtWindow*>(window_);
    ASSERT_NE(top_, nullptr);
    Settle("first showing", [] { return true; });
    height_ratio_ = form_->HeightRatio;
    width_ratio_ = form_->WidthRatio;
  }

  // Waits until `done` holds and no change is left to be delivered as a
  // Resize; the bound is only there for a window system that never answers.
  void Settle(const std::string& when, const std::function<bool()>& done) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return done() && !top_->ResizePending(); }, 10000)) << when;
  }
  void SettleAt(const QSize& size) {
    Settle(std::to_string(size.width()) + "x" + std::to_string(size.height()),
           [&] { return top_->size() == size; });
  }

  QWidget* Box(const char* name) { return top_->findChild<QWidget*>(name); }

  // The outer size as the window system has it: the client area and the
  // frame it reports.
  QSize Outer() { return top_->windowHandle()->frameGeometry().size(); }
  float OuterHeight() { return PixelsToTwips(Outer().height(), top_->logicalDpiY()); }
  float OuterWidth() { return PixelsToTwips(Outer().width(), top_->logicalDpiX()); }

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
  QtWindow* top_ = nullptr;
  double height_ratio_ = 0;
  double width_ratio_ = 0;
};

TEST_F(QtLayout, LoadRatiosAreClientOverOuterSizeWithTheFrameTheWindowWillHave) {
  // The offscreen platform gives its windows a frame from the start; Load
  // runs before the first showing and must count it already.
  const QMargins frame = top_->windowHandle()->frameMargins();
  ASSERT_FALSE(frame.isNull()) << "the offscreen platform is expected to draw a frame";
  const int x_dpi = top_->logicalDpiX();
  const int y_dpi = top_->logicalDpiY();
  const int client_height = TwipsToPixels(10890, y_dpi);
  const int client_width = TwipsToPixels(6615, x_dpi);
  const double height_ratio =
      double{PixelsToTwips(client_height, y_dpi)} /
      double{PixelsToTwips(client_height + frame.top() + frame.bottom(), y_dpi)};
  const double width_ratio =
      double{PixelsToTwips(client_width, x_dpi)} /
      double{PixelsToTwips(client_width + frame.left() + frame.right(), x_dpi)};
  EXPECT_DOUBLE_EQ(height_ratio_, height_ratio);
  EXPECT_DOUBLE_EQ(width_ratio_, width_ratio);
  EXPECT_LT(height_ratio_, 1.0);
  EXPECT_LT(width_ratio_, 1.0);
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
    SettleAt(size);
    ++expected_resizes;
    EXPECT_EQ(counting_.resizes, expected_resizes) << size.width() << "x" << size.height();
    ExpectLaidOut(std::to_string(size.width()) + "x" + std::to_string(size.height()));
  }
}

TEST_F(QtLayout, SizesBelowTheAllowancesGiveEmptyBoxes) {
  top_->resize(60, 60);  // far below 1330 x 1800 twips
  SettleAt({60, 60});
  EXPECT_EQ(Box("Outputs")->width(), 0);
  EXPECT_EQ(Box("Outputs")->height(), 0);
  EXPECT_EQ(Box("Inputs")->width(), 0);
  EXPECT_EQ(Box("Inputs")->height(), TwipsToPixels(615, top_->logicalDpiY()));
}

TEST_F(QtLayout, MinimisingChangesNothingAndRestoringLaysOutAgain) {
  top_->resize(500, 650);
  SettleAt({500, 650});
  const QRect outputs = Box("Outputs")->geometry();
  const QRect inputs = Box("Inputs")->geometry();
  const int before = counting_.resizes;
  top_->showMinimized();
  Settle("minimised", [&] { return top_->isMinimized(); });
  EXPECT_EQ(counting_.resizes, before + 1) << "a state change is a Resize too";
  EXPECT_EQ(Box("Outputs")->geometry(), outputs);
  EXPECT_EQ(Box("Inputs")->geometry(), inputs);
  top_->showNormal();
  Settle("restored", [&] { return !top_->isMinimized(); });
  EXPECT_EQ(counting_.resizes, before + 2) << "restoring is one Resize";
  ExpectLaidOut("restored");
}

TEST_F(QtLayout, MaximisingLaysOutForTheNewSize) {
  const int before = counting_.resizes;
  const QSize normal = top_->size();
  top_->showMaximized();
  Settle("maximised", [&] { return top_->isMaximized() && top_->size() != normal; });
  EXPECT_EQ(counting_.resizes, before + 1) << "state change and resize arrive as one Resize";
  ExpectLaidOut("maximised");
}

TEST_F(QtLayout, LabelsAndButtonKeepTheirDesignPlaces) {
  top_->resize(700, 800);
  SettleAt({700, 800});
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
