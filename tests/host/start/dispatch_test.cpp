#include "host/start/dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/runtime/runtime_error.h"
#include "host/start/start.h"
#include "tests/host/start/scripted_backend.h"
#include "tests/host/start/test_image.h"

namespace host {
namespace {

using testing::kMainImage;

class MainBackend final : public testing::ScriptedBackend {
 public:
  testing::ScriptWindow window{log};

 private:
  NativeWindow& Window() override { return window; }
};

int StartMain(MainBackend& backend, std::string failing = "") {
  backend.window.script.failing = std::move(failing);
  return Start(backend, kMainImage, testing::kMainCode);
}

TEST(Start, CreatesTheWindowRunsLoadThenShowsThenRunsTheLoop) {
  MainBackend backend;
  backend.script = {{"Main", Event::kResize}, {"Button", Event::kClick}};
  EXPECT_EQ(StartMain(backend), 0);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"create Main", "Main_Load", "show", "run",
                                                   "Main_Resize", "Button_Click"}));
}

TEST(Start, BuildsTheWindowFromTheDecodedDesignRecord) {
  MainBackend backend;
  ASSERT_EQ(StartMain(backend), 0);
  EXPECT_EQ(backend.created, testing::kMainDesign);
  // The design views the image, not the table the record was written from.
  const auto* image = reinterpret_cast<const char*>(kMainImage.data());
  for (std::string_view text : {backend.created.name, backend.created.controls[0].caption}) {
    EXPECT_GE(text.data(), image);
    EXPECT_LT(text.data(), image + kMainImage.size());
  }
  EXPECT_NE(backend.given_controls, testing::kMainControls.data());
}

TEST(Start, HandsTheFormTheInterfacesOfTheObjectTable) {
  MainBackend backend;
  ASSERT_EQ(StartMain(backend), 0);
  EXPECT_EQ(backend.window.interfaces.object, testing::kMainMembers);
  EXPECT_EQ(backend.window.interfaces.window, testing::kMainInterface);
}

TEST(Start, EventsWithoutAHandlerInTheirTableRunNothing) {
  MainBackend backend;
  backend.script = {{"Button", Event::kLoad}, {"Main", Event::kClick}, {"Nobody", Event::kClick}};
  EXPECT_EQ(StartMain(backend), 0);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"create Main", "Main_Load", "show", "run"}));
}

TEST(Start, FailingLoadIsReportedAndTheWindowNeverShows) {
  MainBackend backend;
  EXPECT_EQ(StartMain(backend, "Main_Load"), 1);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"create Main", "Main_Load",
                                                   "report Title: Run-time error '6': Overflow"}));
}

TEST(Start, ErrorInAHandlerIsReportedEndsTheLoopAndNoHandlerRunsAfterIt) {
  MainBackend backend;
  backend.script = {{"Button", Event::kClick}, {"Main", Event::kResize}, {"Button", Event::kClick}};
  EXPECT_EQ(StartMain(backend, "Main_Resize"), 1);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"create Main", "Main_Load", "show", "run",
                                                   "Button_Click", "Main_Resize",
                                                   "report Title: Run-time error '6': Overflow"}));
  EXPECT_EQ(backend.quit_status, 1);
}

TEST(Start, MalformedImageIsReportedAndNothingIsBuilt) {
  MainBackend backend;
  std::vector<std::uint8_t> image(kMainImage.begin(), kMainImage.end());
  image[0] = 'X';
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Start(backend, image, testing::kMainCode), kMalformedImageStatus);
  const std::string printed = ::testing::internal::GetCapturedStderr();
  const std::string message =
      "Run-time error '321': project header: signature at offset 0: is not the project header signature";
  EXPECT_EQ(backend.log, (std::vector<std::string>{"report Start-up failed: " + message}));
  EXPECT_EQ(printed, "Start-up failed: " + message + "\n");
}

TEST(Start, AWindowSystemFailingToBuildTheWindowIsReported) {
  class Failing final : public testing::ScriptedBackend {
    NativeWindow& CreateWindow(const WindowDesign&, EventSink&) override {
      throw RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory");
    }
    NativeWindow& Window() override { throw std::logic_error("no window"); }
  };
  Failing backend;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Start(backend, kMainImage, testing::kMainCode), 1);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(backend.log, (std::vector<std::string>{"report Title: Run-time error '7': Out of memory"}));
}

TEST(Dispatcher, OutOfMemoryInAHandlerIsReportedAsRuntimeError) {
  class Allocating final : public Form {};
  constexpr Procedure kAllocate{"Allocate", [](Form&) { throw std::bad_alloc(); }};
  MainBackend backend;
  Dispatcher dispatcher(backend, "Title");
  Allocating form;
  EventBindings bindings;
  bindings.Bind("x", Event::kClick, kAllocate);
  dispatcher.Attach(form, bindings);
  ::testing::internal::CaptureStderr();
  dispatcher.Raise("x", Event::kClick);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Title: Run-time error '7': Out of memory\n");
  EXPECT_EQ(dispatcher.Failure(), 1);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"report Title: Run-time error '7': Out of memory"}));
}

}  // namespace
}  // namespace host
