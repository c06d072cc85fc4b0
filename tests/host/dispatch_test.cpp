#include "host/dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/runtime_error.h"
#include "host/start.h"

namespace host {
namespace {

class RecordingWindow final : public NativeWindow {
 public:
  explicit RecordingWindow(std::vector<std::string>& log) : log_(log) {}
  Status GetHeight(float&) override { return kOk; }
  Status GetWidth(float&) override { return kOk; }
  Status GetScaleHeight(float&) override { return kOk; }
  Status GetScaleWidth(float&) override { return kOk; }
  Status GetWindowState(std::int16_t&) override { return kOk; }
  Status GetTextBox(std::string_view, Ref<TextBox>&) override { return kInvalidArgument; }
  void Show() override { log_.push_back("show"); }

 private:
  std::vector<std::string>& log_;
};

// Runs the "event loop" by raising a scripted list of events.
class ScriptedBackend final : public Backend {
 public:
  std::vector<std::pair<std::string, Event>> script;
  std::vector<std::string> log;
  int quit_status = -1;

  NativeWindow& CreateWindow(const WindowDesign&, EventSink& events) override {
    events_ = &events;
    return window_;
  }
  int Run() override {
    log.push_back("run");
    for (const auto& [control, event] : script) {
      if (quit_status >= 0) break;
      events_->Raise(control, event);
    }
    return quit_status >= 0 ? quit_status : 0;
  }
  void Quit(int status) override { quit_status = status; }
  void ReportError(std::string_view title, const RuntimeError& error) override {
    log.push_back("report " + std::string(title) + ": " + error.what());
  }

 private:
  RecordingWindow window_{log};
  EventSink* events_ = nullptr;
};

class ScriptedForm final : public Form {
 public:
  ScriptedForm(std::vector<std::string>& log, std::string failing) : log_(log), failing_(failing) {}
  void Handle(std::string_view control, Event event) override {
    const std::string entry = std::string(control) + "/" + std::to_string(static_cast<int>(event));
    log_.push_back(entry);
    if (entry == failing_) throw RuntimeError(ErrorNumber::kOverflow, "Overflow");
  }

 private:
  std::vector<std::string>& log_;
  std::string failing_;
};

constexpr WindowDesign kDesign{.name = "Main", .caption = "", .link_topic = "", .client = {}, .controls = {}};

Program MakeProgram(ScriptedBackend& backend, std::string failing) {
  return Program{.title = "Title",
                 .design = &kDesign,
                 .create_form = [&backend, failing](Window&) {
                   return std::make_unique<ScriptedForm>(backend.log, failing);
                 }};
}

TEST(Start, RunsLoadThenShowsThenRunsTheLoop) {
  ScriptedBackend backend;
  backend.script = {{"Main", Event::kResize}, {"Button", Event::kClick}};
  EXPECT_EQ(Start(backend, MakeProgram(backend, "")), 0);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"Main/6", "show", "run", "Main/7", "Button/0"}));
}

TEST(Start, FailingLoadIsReportedAndTheWindowNeverShows) {
  ScriptedBackend backend;
  EXPECT_EQ(Start(backend, MakeProgram(backend, "Main/6")), 1);
  EXPECT_EQ(backend.log,
            (std::vector<std::string>{"Main/6", "report Title: Run-time error '6': Overflow"}));
}

TEST(Start, ErrorInAHandlerIsReportedEndsTheLoopAndNoHandlerRunsAfterIt) {
  ScriptedBackend backend;
  backend.script = {{"Button", Event::kClick}, {"Main", Event::kResize}, {"Button", Event::kClick}};
  EXPECT_EQ(Start(backend, MakeProgram(backend, "Main/7")), 1);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"Main/6", "show", "run", "Button/0", "Main/7",
                                                   "report Title: Run-time error '6': Overflow"}));
  EXPECT_EQ(backend.quit_status, 1);
}

TEST(Dispatcher, OutOfMemoryInAHandlerIsReportedAsRuntimeError) {
  class Allocating final : public Form {
    void Handle(std::string_view, Event) override { throw std::bad_alloc(); }
  };
  ScriptedBackend backend;
  Dispatcher dispatcher(backend, "Title");
  Allocating form;
  dispatcher.Attach(form);
  dispatcher.Raise("x", Event::kClick);
  EXPECT_EQ(dispatcher.Failure(), 1);
  EXPECT_EQ(backend.log, (std::vector<std::string>{"report Title: Run-time error '7': Out of memory"}));
}

}  // namespace
}  // namespace host
