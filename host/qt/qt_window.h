#pragma once
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "host/objects/backend.h"
#include "host/design/design.h"

namespace host::qt {

class QtTextBox;

/// The top-level window and its controls, built from a design.
class QtWindow final : public QWidget, public NativeWindow {
 public:
  QtWindow(const WindowDesign& design, EventSink& events);

  Status GetHeight(float& twips) override;
  Status GetWidth(float& twips) override;
  Status GetScaleHeight(float& twips) override;
  Status GetScaleWidth(float& twips) override;
  Status GetWindowState(std::int16_t& state) override;
  Status GetTextBox(std::string_view name, Ref<TextBox>& box) override;
  void Show() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void CreateControls(const WindowDesign& design);
  void OrderFocus(const WindowDesign& design);
  void QueueResize();
  void FollowFrame();
  void DeliverResize();

  std::string name_;
  EventSink& events_;
  std::vector<QtTextBox*> text_boxes_;  // owned by this widget as children
  QTimer state_settle_;
  QSize delivered_outer_;  // outer size at the last Resize
  bool shown_ = false;
  bool resize_queued_ = false;
};

}  // namespace host::qt
