// The whole start-up without a window system: the real image, the real
// procedures, a window held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/start/start.h"
#include "tests/host/start/scripted_backend.h"
#include "tests/window/fake_window.h"
#include "window/procedures.h"
#include "app/project_image.h"

namespace window {
namespace {

// JSONfrm's window over the fake one, logging each reading and its showing.
// Like a real backend it raises Resize once it has been shown.
class HeadlessWindow final : public host::NativeWindow {
 public:
  explicit HeadlessWindow(std::vector<std::pair<std::string, host::Event>>& script) : script_(script) {}

  host::Status GetHeight(float& v) override { return Log("Height", fake.GetHeight(v)); }
  host::Status GetWidth(float& v) override { return Log("Width", fake.GetWidth(v)); }
  host::Status GetScaleHeight(float& v) override { return Log("ScaleHeight", fake.GetScaleHeight(v)); }
  host::Status GetScaleWidth(float& v) override { return Log("ScaleWidth", fake.GetScaleWidth(v)); }
  host::Status GetWindowState(std::int16_t& v) override { return Log("WindowState", fake.GetWindowState(v)); }
  host::Status GetTextBox(std::string_view name, host::Ref<host::TextBox>& box) override {
    return fake.GetTextBox(name, box);
  }
  void Show() override {
    fake.log.push_back("show");
    script_.insert(script_.begin(), {"JSONfrm", host::Event::kResize});
  }

  testing::FakeWindow fake;

 private:
  host::Status Log(const char* member, host::Status status) {
    fake.log.push_back(std::string("read ") + member);
    return status;
  }
  std::vector<std::pair<std::string, host::Event>>& script_;
};

class HeadlessBackend final : public host::testing::ScriptedBackend {
 public:
  HeadlessWindow window{script};

 private:
  host::NativeWindow& Window() override { return window; }
};

std::size_t Count(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<std::size_t>(std::ranges::count(log, entry));
}
std::size_t Position(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<std::size_t>(std::ranges::find(log, entry) - log.begin());
}

TEST(HeadlessStart, LoadRunsBeforeTheFirstShowingAndResizeAfterItOnceEach) {
  HeadlessBackend backend;
  ASSERT_EQ(host::Start(backend, app::kProjectImage, kJSONfrmCode), 0);
  const std::vector<std::string>& log = backend.window.fake.log;
  // Only Load reads the client sizes; only Resize reads the state.
  EXPECT_EQ(Count(log, "read ScaleHeight"), 1u);
  EXPECT_EQ(Count(log, "read ScaleWidth"), 1u);
  EXPECT_EQ(Count(log, "show"), 1u);
  EXPECT_EQ(Count(log, "read WindowState"), 1u);
  EXPECT_LT(Position(log, "read ScaleWidth"), Position(log, "show"));
  EXPECT_GT(Position(log, "read WindowState"), Position(log, "show"));
  EXPECT_EQ(Count(log, "Outputs.Top=1320"), 1u);
  EXPECT_GT(Position(log, "Outputs.Top=1320"), Position(log, "show"));
  EXPECT_EQ(backend.log, (std::vector<std::string>{"create JSONfrm", "run"}));
}

TEST(HeadlessStart, ConvertReachesItsHandlerThroughTheImage) {
  HeadlessBackend backend;
  backend.window.fake.inputs.text = u"{\"a\":1}";
  backend.script = {{"Command1", host::Event::kClick}};
  ASSERT_EQ(host::Start(backend, app::kProjectImage, kJSONfrmCode), 0);
  EXPECT_EQ(backend.window.fake.outputs.text, u"{\r\n\"a\":1\r\n}");
}

TEST(HeadlessStart, TheWindowIsBuiltFromTheRecordWithItsFiveControls) {
  HeadlessBackend backend;
  ASSERT_EQ(host::Start(backend, app::kProjectImage, kJSONfrmCode), 0);
  EXPECT_EQ(backend.created, kJSONfrmDesign);
  EXPECT_NE(backend.given_controls, kJSONfrmDesign.controls.data());
}

}  // namespace
}  // namespace window
