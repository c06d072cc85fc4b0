#pragma once
#include <QAbstractNativeEventFilter>
#include <QEventLoop>
#include <QMargins>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace host::qt {

/// The frame the window system puts around one top-level window, in the
/// window's logical pixels.
///
/// On X11 the window manager announces the frame in the window's
/// _NET_FRAME_EXTENTS property, and can be asked for it before the window
/// is first mapped; elsewhere the frame is what Qt knows of it (under
/// Wayland, the margins of Qt's own decoration).
class FrameExtents final : public QAbstractNativeEventFilter {
 public:
  /// `changed` runs whenever the window manager announces a different frame.
  FrameExtents(QWidget& window, std::function<void()> changed);
  ~FrameExtents() override;
  FrameExtents(const FrameExtents&) = delete;
  FrameExtents& operator=(const FrameExtents&) = delete;

  /// Before the window is first shown: asks the window manager for the
  /// frame it will give the window and waits a short while for the answer.
  /// Where no window manager answers, the frame stays what Qt knows.
  void Anticipate();

  /// The frame as announced, or else as Qt knows it (none before the
  /// window manager has framed the window).
  QMargins Margins() const;

  /// Whether the window manager has announced a frame for this window.
  bool Announced() const { return announced_.has_value(); }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  struct X11;
  bool ReadAnnounced();

  QWidget& window_;
  std::function<void()> changed_;
  std::unique_ptr<X11> x11_;  // set on X11 only
  std::optional<QMargins> announced_;
  QEventLoop* waiting_ = nullptr;  // while Anticipate waits for the answer
};

}  // namespace host::qt
