#pragma once
#include <memory>
#include <vector>

#include "host/objects/backend.h"
#include "host/win32/handles.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

class Win32Window;

class Win32Backend final : public Backend {
 public:
  Win32Backend();
  ~Win32Backend() override;

  NativeWindow& CreateWindow(const WindowDesign& design, EventSink& events) override;
  /// Runs the message loop. What escaped a window's message handler is
  /// thrown from here once the loop has ended.
  int Run() override;
  void Quit(int status) override;
  void ReportError(std::string_view title, const RuntimeError& error) override;

 private:
  bool PreTranslate(MSG& message);

  ComApartment com_;  // before the windows, after them at the end
  bool common_controls_ready_ = false;
  std::vector<std::unique_ptr<Win32Window>> windows_;
};

}  // namespace host::win32
