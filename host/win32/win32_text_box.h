#pragma once
#include <optional>
#include <string>

#include "host/objects/controls.h"
#include "host/design/design.h"
#include "host/win32/dpi.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// A text box over the system's EDIT control, which its parent window owns
/// and destroys. CR LF is its line break; it holds any UTF-16 text except
/// one with a NUL in it.
class Win32TextBox final : public TextBox {
 public:
  /// Creates the control as a child of `parent`, with the design's
  /// identifier as its control identifier.
  Win32TextBox(const ControlDesign& design, HWND parent, Dpi dpi, HFONT font);

  Status GetText(String& text) override;
  Status PutText(StringView text) override;
  Status PutLeft(float twips) override;
  Status PutTop(float twips) override;
  Status PutWidth(float twips) override;
  Status PutHeight(float twips) override;

  const std::string& Name() const { return name_; }
  HWND Handle() const { return edit_; }

 private:
  // Moves or sizes the control in pixels; what is not given stays.
  Status Place(std::optional<int> left, std::optional<int> top, std::optional<int> width,
               std::optional<int> height);

  std::string name_;
  Dpi dpi_;
  HWND edit_ = nullptr;
};

/// The window styles a text box of this design gets.
DWORD TextBoxStyle(const ControlDesign& design);

}  // namespace host::win32
