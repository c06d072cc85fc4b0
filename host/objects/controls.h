#pragma once
#include <cstdint>
#include <string_view>

#include "host/objects/object.h"
#include "host/runtime/status.h"
#include "host/runtime/string.h"

namespace host {

/// Window states as the Resize handler reads them.
enum class WindowState : std::int16_t { kNormal = 0, kMinimized = 1, kMaximized = 2 };

/// A text box as handlers see it. Positions and sizes are twips.
class TextBox : public Object {
 public:
  virtual Status GetText(String& text) = 0;
  /// The box takes `text` over: a caller done with its string moves it in,
  /// and a long text is then never copied.
  virtual Status PutText(String text) = 0;
  virtual Status PutLeft(float twips) = 0;
  virtual Status PutTop(float twips) = 0;
  virtual Status PutWidth(float twips) = 0;
  virtual Status PutHeight(float twips) = 0;

 protected:
  ~TextBox() = default;
};

/// Program side of the boundary: the window as its handlers see it ("Me"):
/// its sizes in twips, its state, and its text boxes by name.
class Window : public Object {
 public:
  virtual Status GetHeight(float& twips) = 0;
  virtual Status GetWidth(float& twips) = 0;
  virtual Status GetScaleHeight(float& twips) = 0;
  virtual Status GetScaleWidth(float& twips) = 0;
  virtual Status GetWindowState(std::int16_t& state) = 0;
  virtual Status GetTextBox(std::string_view name, Ref<TextBox>& box) = 0;

 protected:
  ~Window() = default;
};

}  // namespace host
