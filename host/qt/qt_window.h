#pragma once
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "host/design/design.h"
#include "host/objects/backend.h"
#include "host/qt/frame_extents.h"

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

  /// Whether a change of size or state has yet to be delivered as Resize.
  bool ResizePending() const { return resize_queued_ || state_settle_.isActive(); }

  /// The size of the window with its frame, in pixels.
  QSize OuterSize() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the Resize handler reads: the outer size and the window state.
  struct Reading {
    QSize outer;
    std::int16_t state = 0;
    bool operator==(const Reading&) const = default;
  };

  void CreateControls(const WindowDesign& design);
  void OrderFocus(const WindowDesign& design);
  void FrameChanged();
  void QueueResize();
  void DeliverResize();
  std::int16_t State() const;

  std::string name_;
  EventSink& events_;
  std::vector<QtTextBox*> text_boxes_;  // owned by this widget as children
  FrameExtents frame_;
  QTimer state_settle_;
  std::optional<Reading> delivered_;  // as read for the last Resize
  bool shown_ = false;
  bool resize_queued_ = false;
};

}  // namespace host::qt
