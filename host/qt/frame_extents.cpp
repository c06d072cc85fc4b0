#include "host/qt/frame_extents.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string_view>

#if QT_CONFIG(xcb) && defined(QUILLFEN_HAVE_XCB)
#define QUILLFEN_X11 1
#include "host/qt/xcb_support.h"
#endif

namespace host::qt {

#ifdef QUILLFEN_X11

namespace {

// A window manager answers at once; the bound only matters where one
// claims to answer and does not. It is generous because a loaded machine
// may be slow to schedule the window manager, and a late answer costs the
// layout its frame.
constexpr std::chrono::milliseconds kAnswerBound{1000};

}  // namespace

struct FrameExtents::X11 {
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  xcb_window_t root = 0;
  xcb_atom_t supported = XCB_ATOM_NONE;
  xcb_atom_t frame_extents = XCB_ATOM_NONE;
  xcb_atom_t request_frame_extents = XCB_ATOM_NONE;

  // Whether the window manager says it answers _NET_REQUEST_FRAME_EXTENTS.
  // Without one, nothing answers and there is nothing to wait for.
  bool Answers() const {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, request_frame_extents) != atoms + count;
  }

  void Request() const {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request_frame_extents;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
  }

  // Left, right, top and bottom in device pixels, if the property is set.
  std::optional<std::array<std::uint32_t, 4>> Read() const {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, frame_extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) != 16) {
      return std::nullopt;
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::array{values[0], values[1], values[2], values[3]};
  }
};

#else

struct FrameExtents::X11 {};

#endif

FrameExtents::FrameExtents(QWidget& window, std::function<void()> changed)
    : window_(window), changed_(std::move(changed)) {}

FrameExtents::~FrameExtents() {
  if (x11_) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FrameExtents::Anticipate() {
  // The native window exists from here on, unmapped, so that the frame can
  // be asked for and Qt's own idea of it (Wayland) can be read.
  window_.winId();
#ifdef QUILLFEN_X11
  // Other platforms may offer the X11 interface too (offscreen does, for
  // its GL support) without a connection to a window manager.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  x11_ = std::make_unique<X11>();
  X11& x = *x11_;
  x.connection = x11->connection();
  x.window = static_cast<xcb_window_t>(window_.winId());
  const Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(x.connection, xcb_get_geometry(x.connection, x.window), nullptr));
  if (!geometry) {
    x11_.reset();
    return;
  }
  x.root = geometry->root;
  constexpr std::array<std::string_view, 3> kNames{"_NET_SUPPORTED", "_NET_FRAME_EXTENTS",
                                                   "_NET_REQUEST_FRAME_EXTENTS"};
  const std::array<xcb_atom_t, kNames.size()> atoms = InternAtoms(x.connection, kNames);
  x.supported = atoms[0];
  x.frame_extents = atoms[1];
  x.request_frame_extents = atoms[2];
  QCoreApplication::instance()->installNativeEventFilter(this);
  if (!x.Answers()) return;

  // The answer is a change of the window's _NET_FRAME_EXTENTS, which Qt
  // selects on every window it makes; the filter ends the wait when it
  // passes by.
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  x.Request();
  ReadAnnounced();
  if (announced_) return;
  waiting_ = &loop;
  bound.start(kAnswerBound);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  waiting_ = nullptr;
  ReadAnnounced();
#endif
}

QMargins FrameExtents::Margins() const {
  if (announced_) return *announced_;
  if (const QWindow* handle = window_.windowHandle()) return handle->frameMargins();
  return {};
}

bool FrameExtents::ReadAnnounced() {
#ifdef QUILLFEN_X11
  std::optional<QMargins> now;
  if (const auto extents = x11_->Read()) {
    // The property is in device pixels; the layout works in logical ones.
    const qreal ratio = window_.devicePixelRatioF();
    const auto logical = [ratio](std::uint32_t pixels) {
      return static_cast<int>(std::lround(static_cast<qreal>(pixels) / ratio));
    };
    const auto& [left, right, top, bottom] = *extents;
    now = QMargins(logical(left), logical(top), logical(right), logical(bottom));
  }
  const bool changed = now != announced_;
  announced_ = now;
  return changed;
#else
  return false;
#endif
}

bool FrameExtents::nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) {
#ifdef QUILLFEN_X11
  if (!x11_ || type != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
  const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
  if (notify->window != x11_->window || notify->atom != x11_->frame_extents) return false;
  const bool changed = ReadAnnounced();
  if (waiting_ != nullptr) waiting_->quit();
  if (changed) changed_();
#else
  (void)type;
  (void)message;
#endif
  return false;  // Qt follows the frame too
}

}  // namespace host::qt
