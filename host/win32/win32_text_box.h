#pragma once
#include <optional>
#include <string>

#include "host/objects/controls.h"
#include "host/design/design.h"
#include "host/win32/dpi.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// A text box of a window: the host's own text control, which its parent
/// window owns and destroys, behind the TextBox interface the handlers use.
/// It holds any UTF-16 text exactly; CR LF is its line break.
class Win32TextBox final : public TextBox {
 public:
  /// Creates the control as a child of `parent`, with the design's
  /// identifier as its control identifier.
  Win32TextBox(const ControlDesign& design, HWND parent, Dpi dpi, HFONT font);

  Status GetText(String& text) override;
  Status PutText(String text) override;
  Status PutLeft(float twips) override;
  Status PutTop(float twips) override;
  Status PutWidth(float twips) override;
  Status PutHeight(float twips) override;

  const std::string& Name() const { return name_; }
  HWND Handle() const { return handle_; }

 private:
  // Moves or sizes the control in pixels; what is not given stays.
  Status Place(std::optional<int> left, std::optional<int> top, std::optional<int> width,
               std::optional<int> height);

  std::string name_;
  Dpi dpi_;
  HWND handle_ = nullptr;
};

/// The window styles a text box of this design gets: an edit control's
/// styles, which tell programs that read them what kind of box it is.
DWORD TextBoxStyle(const ControlDesign& design);

}  // namespace host::win32
