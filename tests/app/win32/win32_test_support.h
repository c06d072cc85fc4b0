#pragma once
// What the backend's tests share: a window built from the program's design,
// a recording event sink and a message pump.
#include <string>
#include <vector>

#include "host/objects/backend.h"
#include "host/win32/win32_backend.h"
#include "host/win32/windows_api.h"
#include "window/design.h"

namespace host::win32::testing {

/// Records "Control/event state" for every event, the window's state as
/// read at that moment.
class RecordingSink final : public EventSink {
 public:
  void Raise(std::string_view control, Event event) override {
    std::int16_t state = -1;
    if (window != nullptr) window->GetWindowState(state);
    log.push_back(std::string(control) + "/" + std::to_string(static_cast<int>(event)) + " " +
                  std::to_string(state));
  }
  NativeWindow* window = nullptr;
  std::vector<std::string> log;
};

/// Dispatches what is queued for this thread, through the window's own
/// keyboard handling.
inline void Pump(Win32Window& window) {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

inline HWND Control(HWND window, int id) { return GetDlgItem(window, id); }

// Control identifiers of the design.
inline constexpr int kOutputsId = 1;
inline constexpr int kCommand1Id = 2;
inline constexpr int kInputsId = 3;
inline constexpr int kLabel2Id = 4;
inline constexpr int kLabel1Id = 5;

}  // namespace host::win32::testing
