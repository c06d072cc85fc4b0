#include "host/win32/win32_backend.h"

#include "host/runtime/runtime_error.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_error.h"
#include "host/win32/win32_window.h"

namespace host {

std::unique_ptr<Backend> CreateBackend() { return std::make_unique<win32::Win32Backend>(); }

namespace win32 {

Win32Backend::Win32Backend() = default;

Win32Backend::~Win32Backend() = default;

NativeWindow& Win32Backend::CreateWindow(const WindowDesign& design, EventSink& events) {
  if (!common_controls_ready_) {
    // Version 6 of the common controls, which the manifest asks for, draws
    // the controls in the system's visual style.
    const INITCOMMONCONTROLSEX classes{.dwSize = sizeof(INITCOMMONCONTROLSEX),
                                       .dwICC = ICC_STANDARD_CLASSES};
    CheckWin32(InitCommonControlsEx(&classes), "initialise the common controls");
    common_controls_ready_ = true;
  }
  windows_.push_back(std::make_unique<Win32Window>(design, events));
  return *windows_.back();
}

bool Win32Backend::PreTranslate(MSG& message) {
  for (const auto& window : windows_) {
    if (window->PreTranslate(message)) return true;
  }
  return false;
}

int Win32Backend::Run() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) ThrowLastError("read the message queue");
    if (got == 0) break;
    if (PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  for (const auto& window : windows_) {
    if (std::exception_ptr failure = window->TakeFailure()) std::rethrow_exception(failure);
  }
  return static_cast<int>(message.wParam);
}

void Win32Backend::Quit(int status) {
  for (const auto& window : windows_) window->StopEvents();
  PostQuitMessage(status);
}

void Win32Backend::ReportError(std::string_view title, const RuntimeError& error) {
  const std::wstring caption = Widen(title);
  const std::wstring text = Widen(error.what());
  OutputDebugStringW((caption + L": " + text + L"\n").c_str());
  // Owned by the window, so that no other event reaches it while the
  // report is open.
  HWND owner = nullptr;
  if (!windows_.empty() && IsWindow(windows_.back()->Handle())) owner = windows_.back()->Handle();
  MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace win32
}  // namespace host
