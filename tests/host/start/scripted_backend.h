#pragma once
// A backend without a window system: its "event loop" raises a scripted
// list of events, and everything it is asked to do goes into a log.
#include <string>
#include <utility>
#include <vector>

#include "host/objects/backend.h"
#include "host/runtime/runtime_error.h"

namespace host::testing {

class ScriptedBackend : public Backend {
 public:
  std::vector<std::pair<std::string, Event>> script;
  std::vector<std::string> log;
  int quit_status = -1;
  // A copy of the design CreateWindow was given; its texts view the image.
  WindowDesign created;
  std::vector<ControlDesign> created_controls;
  const ControlDesign* given_controls = nullptr;  // where the given design kept them

  NativeWindow& CreateWindow(const WindowDesign& design, EventSink& events) override {
    created_controls.assign(design.controls.begin(), design.controls.end());
    created = design;
    created.controls = created_controls;
    given_controls = design.controls.data();
    events_ = &events;
    log.push_back("create " + std::string(design.name));
    return Window();
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

 protected:
  virtual NativeWindow& Window() = 0;

 private:
  EventSink* events_ = nullptr;
};

}  // namespace host::testing
