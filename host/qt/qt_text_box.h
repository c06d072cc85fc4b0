#pragma once
#include <QPlainTextEdit>

#include "host/controls.h"
#include "host/design.h"

namespace host::qt {

/// A text box over Qt's plain-text editor. CR LF is its line break.
class QtTextBox final : public QPlainTextEdit, public TextBox {
 public:
  QtTextBox(const ControlDesign& design, QWidget* parent);

  Status GetText(String& text) override;
  Status PutText(StringView text) override;
  Status PutLeft(float twips) override;
  Status PutTop(float twips) override;
  Status PutWidth(float twips) override;
  Status PutHeight(float twips) override;

 protected:
  QMimeData* createMimeDataFromSelection() const override;

 private:
  int Dpi(bool horizontal) const;
};

}  // namespace host::qt
