#pragma once
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "host/objects/backend.h"
#include "host/design/design.h"
#include "host/win32/dpi.h"
#include "host/win32/handles.h"
#include "host/win32/win32_text_box.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The top-level window and its controls, built from a design. Controls
/// take the design's identifiers as control identifiers.
class Win32Window final : public NativeWindow {
 public:
  Win32Window(const WindowDesign& design, EventSink& events);
  ~Win32Window();

  Status GetHeight(float& twips) override;
  Status GetWidth(float& twips) override;
  Status GetScaleHeight(float& twips) override;
  Status GetScaleWidth(float& twips) override;
  Status GetWindowState(std::int16_t& state) override;
  Status GetTextBox(std::string_view name, Ref<TextBox>& box) override;
  void Show() override;

  HWND Handle() const { return handle_; }

  /// The window's keyboard handling for a message taken from the queue.
  /// True when the message was dealt with and must not be dispatched.
  bool PreTranslate(MSG& message);

  /// Delivers no more events; the event loop is ending.
  void StopEvents() { events_stopped_ = true; }

  /// What escaped a message handler, once; null when nothing did.
  std::exception_ptr TakeFailure() { return std::exchange(failure_, nullptr); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void CreateControls(const WindowDesign& design);
  HWND CreateChild(const wchar_t* window_class, const ControlDesign& control, DWORD style);
  Status ReadExtent(BOOL(WINAPI* read)(HWND, RECT*), bool vertical, float& twips);
  void Raise(std::string_view control, Event event);
  void RememberFocus();
  void RestoreFocus();
  const std::string* ButtonName(HWND control) const;

  struct Button {
    HWND handle;
    std::string name;
  };

  std::string name_;
  EventSink& events_;
  Dpi dpi_;
  UniqueFont font_;  // outlives the controls that draw with it
  HWND handle_ = nullptr;  // known from WM_NCCREATE on, before window_ holds it
  UniqueWindow window_;
  std::vector<std::unique_ptr<Win32TextBox>> text_boxes_;
  std::vector<Button> buttons_;
  HWND focus_ = nullptr;  // the control to give focus back to on activation
  bool shown_ = false;
  bool events_stopped_ = false;
  std::exception_ptr failure_;
};

}  // namespace host::win32
