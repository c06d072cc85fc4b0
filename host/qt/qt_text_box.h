#pragma once
#include "host/objects/controls.h"
#include "host/design/design.h"
#include "host/qt/text_view.h"

namespace host::qt {

/// A text box of a window: the host's own text view behind the TextBox
/// interface the handlers use.
class QtTextBox final : public TextView, public TextBox {
 public:
  QtTextBox(const ControlDesign& design, QWidget* parent);

  Status GetText(String& text) override;
  Status PutText(String text) override;
  Status PutLeft(float twips) override;
  Status PutTop(float twips) override;
  Status PutWidth(float twips) override;
  Status PutHeight(float twips) override;

 private:
  int Dpi(bool horizontal) const;
};

}  // namespace host::qt
