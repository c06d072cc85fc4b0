#include "host/qt/qt_window.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <chrono>

#include "host/qt/qt_text_box.h"
#include "host/objects/twips.h"

namespace host::qt {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// How long a change of state waits for the resize that usually comes with it.
constexpr std::chrono::milliseconds kStateSettle{50};
// How long after a Resize the frame is looked at again.
constexpr std::chrono::milliseconds kFrameSettle{150};

QRect Pixels(const TwipRect& rect, const QWidget& widget) {
  const PixelRect pixels = TwipsToPixels(rect, widget.logicalDpiX(), widget.logicalDpiY());
  return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

}  // namespace

QtWindow::QtWindow(const WindowDesign& design, EventSink& events)
    : name_(design.name), events_(events) {
  setObjectName(FromUtf8(design.name));
  setWindowTitle(FromUtf8(design.caption));
  // The design's client position is not used: the window system places it.
  const QRect client = Pixels(design.client, *this);
  resize(client.size());
  CreateControls(design);
  OrderFocus(design);
  state_settle_.setSingleShot(true);
  state_settle_.setInterval(kStateSettle);
  connect(&state_settle_, &QTimer::timeout, this, &QtWindow::QueueResize);
}

void QtWindow::CreateControls(const WindowDesign& design) {
  std::vector<QLabel*> labels;
  for (const ControlDesign& control : design.controls) {
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::kTextBox: {
        auto* box = new QtTextBox(control, this);
        text_boxes_.push_back(box);
        widget = box;
        break;
      }
      case ControlKind::kCommandButton: {
        auto* button = new QPushButton(FromUtf8(control.caption), this);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        const std::string name(control.name);
        connect(button, &QPushButton::clicked, this,
                [this, name] { events_.Raise(name, Event::kClick); });
        widget = button;
        break;
      }
      case ControlKind::kLabel: {
        auto* label = new QLabel(FromUtf8(control.caption), this);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        labels.push_back(label);
        widget = label;
        break;
      }
      case ControlKind::kWindow:
        continue;
    }
    widget->setObjectName(FromUtf8(control.name));
    widget->setGeometry(Pixels(control.rect, *this));
  }
  // Labels reach into the boxes below them; the boxes stay on top so that
  // no text of theirs is hidden.
  for (QLabel* label : labels) label->lower();
}

void QtWindow::OrderFocus(const WindowDesign& design) {
  std::vector<const ControlDesign*> order;
  for (const ControlDesign& control : design.controls) {
    if (control.kind == ControlKind::kTextBox || control.kind == ControlKind::kCommandButton) {
      order.push_back(&control);
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [](auto* a, auto* b) { return a->tab_index < b->tab_index; });
  QWidget* previous = nullptr;
  for (const ControlDesign* control : order) {
    QWidget* widget = findChild<QWidget*>(FromUtf8(control->name), Qt::FindDirectChildrenOnly);
    if (previous != nullptr) {
      setTabOrder(previous, widget);
    } else {
      widget->setFocus(Qt::OtherFocusReason);
    }
    previous = widget;
  }
}

// Before the window manager has framed the window (X11, before the first
// mapping) Qt knows no frame, and the outer size read here is the client
// size; every reading takes Qt's frame geometry as it stands at that moment.
Status QtWindow::GetHeight(float& twips) {
  twips = PixelsToTwips(frameGeometry().height(), logicalDpiY());
  return kOk;
}

Status QtWindow::GetWidth(float& twips) {
  twips = PixelsToTwips(frameGeometry().width(), logicalDpiX());
  return kOk;
}

Status QtWindow::GetScaleHeight(float& twips) {
  twips = PixelsToTwips(height(), logicalDpiY());
  return kOk;
}

Status QtWindow::GetScaleWidth(float& twips) {
  twips = PixelsToTwips(width(), logicalDpiX());
  return kOk;
}

Status QtWindow::GetWindowState(std::int16_t& state) {
  const Qt::WindowStates states = windowState();
  if (states & Qt::WindowMinimized) {
    state = static_cast<std::int16_t>(WindowState::kMinimized);
  } else if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    state = static_cast<std::int16_t>(WindowState::kMaximized);
  } else {
    state = static_cast<std::int16_t>(WindowState::kNormal);
  }
  return kOk;
}

Status QtWindow::GetTextBox(std::string_view name, Ref<TextBox>& box) {
  const QString wanted = FromUtf8(name);
  for (QtTextBox* candidate : text_boxes_) {
    if (candidate->objectName() == wanted) {
      box = Ref<TextBox>(candidate);
      return kOk;
    }
  }
  return kInvalidArgument;
}

void QtWindow::Show() {
  shown_ = true;
  show();
  activateWindow();
  QueueResize();
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  state_settle_.stop();
  QueueResize();
}

// Maximising or restoring brings a state change and then, a little later,
// the new size; they are delivered as one Resize. A state change that no
// resize follows (minimising, restoring to the same size) is delivered on
// its own once the wait is over; minimising is delivered at once.
void QtWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (windowState() & Qt::WindowMinimized) {
    QueueResize();
  } else if (shown_) {
    state_settle_.start();
  }
}

// The window manager frames the window after it is first shown, and may
// change the frame when maximising: the client size stays, the outer size
// that the layout reads does not. A move usually tells of the new frame;
// where none comes, a second look shortly after each Resize finds it.
void QtWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FollowFrame();
}

void QtWindow::FollowFrame() {
  if (frameGeometry().size() != delivered_outer_) QueueResize();
}

// Events of one turn of the event loop end up in one Resize.
void QtWindow::QueueResize() {
  if (!shown_ || resize_queued_) return;
  resize_queued_ = true;
  QTimer::singleShot(0, this, &QtWindow::DeliverResize);
}

void QtWindow::DeliverResize() {
  resize_queued_ = false;
  delivered_outer_ = frameGeometry().size();
  events_.Raise(name_, Event::kResize);
  QTimer::singleShot(kFrameSettle, this, &QtWindow::FollowFrame);
}

}  // namespace host::qt
