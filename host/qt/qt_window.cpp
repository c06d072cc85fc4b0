#include "host/qt/qt_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <chrono>

#include "host/design/labels.h"
#include "host/qt/qt_text_box.h"
#include "host/objects/twips.h"

namespace host::qt {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// How long a change of state gathers what comes with it. A window manager
// answers a maximise or a restore with the new state, the new size and the
// new frame as separate notifications, in an order of its own and not
// always in one go, and nothing marks the last of them; so they are
// gathered for a while and delivered as one Resize.
constexpr std::chrono::milliseconds kStateSettle{100};

QRect Pixels(const TwipRect& rect, const QWidget& widget) {
  const PixelRect pixels = TwipsToPixels(rect, widget.logicalDpiX(), widget.logicalDpiY());
  return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

}  // namespace

QtWindow::QtWindow(const WindowDesign& design, EventSink& events)
    : name_(design.name), events_(events), frame_(*this, [this] { FrameChanged(); }) {
  setObjectName(FromUtf8(design.name));
  setWindowTitle(FromUtf8(design.caption));
  // The design's client position is not used: the window system places it.
  const QRect client = Pixels(design.client, *this);
  // A window far larger than every screen shows nothing more, yet would
  // have every one of its pixels drawn; it grows no larger than the
  // screens together, or its design if that is larger still.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setMaximumSize(client.size().expandedTo(screen->virtualSize()).expandedTo(screen->virtualGeometry().size()));
  }
  resize(client.size());
  CreateControls(design);
  OrderFocus(design);
  state_settle_.setSingleShot(true);
  state_settle_.setInterval(kStateSettle);
  connect(&state_settle_, &QTimer::timeout, this, &QtWindow::QueueResize);
  // Load reads the outer size before the window is first shown, when the
  // window manager has not framed it yet; it is asked for the frame now.
  frame_.Anticipate();
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
        button->installEventFilter(this);  // Enter presses it, see eventFilter
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
  // Each box is named by its label, which Qt's accessibility reads as the
  // label's buddy.
  for (const ControlDesign& control : design.controls) {
    const ControlDesign* label = control.kind == ControlKind::kTextBox ? LabelOf(design.controls, control) : nullptr;
    if (label == nullptr) continue;
    findChild<QLabel*>(FromUtf8(label->name), Qt::FindDirectChildrenOnly)
        ->setBuddy(findChild<QWidget*>(FromUtf8(control.name), Qt::FindDirectChildrenOnly));
  }
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

// The outer size is the client size with the frame the window manager
// announces; before the window is first shown that is the frame it has
// said it will give the window.
QSize QtWindow::OuterSize() const { return size().grownBy(frame_.Margins()); }

Status QtWindow::GetHeight(float& twips) {
  twips = PixelsToTwips(OuterSize().height(), logicalDpiY());
  return kOk;
}

Status QtWindow::GetWidth(float& twips) {
  twips = PixelsToTwips(OuterSize().width(), logicalDpiX());
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

std::int16_t QtWindow::State() const {
  const Qt::WindowStates states = windowState();
  if (states & Qt::WindowMinimized) return static_cast<std::int16_t>(WindowState::kMinimized);
  if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    return static_cast<std::int16_t>(WindowState::kMaximized);
  }
  return static_cast<std::int16_t>(WindowState::kNormal);
}

Status QtWindow::GetWindowState(std::int16_t& state) {
  state = State();
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
  if (!state_settle_.isActive()) QueueResize();
}

// Minimising is delivered at once. Maximising or restoring gathers the
// size and frame that come with it (see kStateSettle) into one Resize.
void QtWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (windowState() & Qt::WindowMinimized) {
    QueueResize();
  } else if (shown_) {
    state_settle_.start();
  }
}

// Where the window manager announces no frame, Qt learns it from the
// window's position in its frame, which a move tells of.
void QtWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!frame_.Announced()) FrameChanged();
}

// A new frame is a change of the outer size, unless it comes with a change
// of state.
void QtWindow::FrameChanged() {
  if (!state_settle_.isActive()) QueueResize();
}

// The focused Convert button is pressed by Enter as by Space, as push
// buttons are elsewhere; it is still not a default button, so Enter in a
// text box presses nothing.
bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* button = qobject_cast<QPushButton*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (button != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
      if (!key->isAutoRepeat()) button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Events of one turn of the event loop end up in one Resize, and a Resize
// is raised only when what the handler reads has changed.
void QtWindow::QueueResize() {
  if (!shown_ || resize_queued_) return;
  resize_queued_ = true;
  QTimer::singleShot(0, this, &QtWindow::DeliverResize);
}

void QtWindow::DeliverResize() {
  resize_queued_ = false;
  const Reading now{OuterSize(), State()};
  if (delivered_ == now) return;
  delivered_ = now;
  events_.Raise(name_, Event::kResize);
}

}  // namespace host::qt
