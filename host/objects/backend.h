#pragma once
#include <memory>
#include <string_view>

#include "host/objects/controls.h"
#include "host/design/design.h"
#include "host/design/events.h"

namespace host {

class RuntimeError;

/// Where a window system delivers the events of a window and its controls.
class EventSink {
 public:
  virtual void Raise(std::string_view control, Event event) = 0;

 protected:
  ~EventSink() = default;
};

/// Backend side of the boundary: a Window that a window system built from a
/// design, with what the start routine needs besides (show, run the loop).
class NativeWindow : public Window {
 public:
  /// Shows the window where the window system places it, focus on the
  /// first control in tab order. Resize is raised from here on.
  virtual void Show() = 0;

 protected:
  ~NativeWindow() = default;
};

/// One window system. Chosen once, at start.
class Backend {
 public:
  virtual ~Backend() = default;

  /// Builds the window and its controls; the backend owns it until it ends.
  virtual NativeWindow& CreateWindow(const WindowDesign& design, EventSink& events) = 0;

  /// Runs the event loop until the window is closed or Quit is called.
  virtual int Run() = 0;

  /// Ends a running event loop with `status`.
  virtual void Quit(int status) = 0;

  /// Tells the user of an error that ended a handler.
  virtual void ReportError(std::string_view title, const RuntimeError& error) = 0;
};

/// The backend this build was made with.
std::unique_ptr<Backend> CreateBackend();

}  // namespace host
