#include "host/qt/x11_clipboard.h"

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string_view>

#if QT_CONFIG(xcb) && defined(QUILLFEN_HAVE_XCB)
#define QUILLFEN_X11 1
#include <poll.h>
#include "host/qt/xcb_support.h"
#endif

namespace host::qt {

#ifdef QUILLFEN_X11

namespace {

using Clock = std::chrono::steady_clock;

// An owner answers at once; the bound only matters for one that does not,
// and keeps the window from being held much longer than a second.
constexpr std::chrono::milliseconds kAnswerBound{900};
constexpr std::uint32_t kWholeProperty = 0x1FFFFFFF;  // in 32-bit units

struct Disconnect {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

class Session {
 public:
  Session() : connection_(xcb_connect(nullptr, &screen_number_)) {}

  bool Open() {
    if (xcb_connection_has_error(connection_.get()) != 0) return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_.get()));
    for (int i = 0; i < screen_number_ && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return false;
    window_ = xcb_generate_id(connection_.get());
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_.get(), XCB_COPY_FROM_PARENT, window_, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screens.data->root_visual, XCB_CW_EVENT_MASK, &events);
    return true;
  }

  xcb_atom_t Atom(std::string_view name) {
    return InternAtoms<1>(connection_.get(), {name})[0];
  }

  // The next event of `type` that `wanted` accepts, or null if none comes in time.
  template <class Event, class Wanted>
  Reply<Event> WaitFor(std::uint8_t type, Wanted wanted) {
    const Clock::time_point deadline = Clock::now() + kAnswerBound;
    xcb_flush(connection_.get());
    for (;;) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(connection_.get())) {
        Reply<xcb_generic_event_t> owned(event);
        if ((event->response_type & 0x7F) == type && wanted(*reinterpret_cast<Event*>(event))) {
          return Reply<Event>(reinterpret_cast<Event*>(owned.release()));
        }
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0 || xcb_connection_has_error(connection_.get()) != 0) return nullptr;
      pollfd descriptor{xcb_get_file_descriptor(connection_.get()), POLLIN, 0};
      poll(&descriptor, 1, static_cast<int>(left));
    }
  }

  // Takes the property's value off the window, deleting it.
  Reply<xcb_get_property_reply_t> Take(xcb_atom_t property) {
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection_.get(),
        xcb_get_property(connection_.get(), 1, window_, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kWholeProperty),
        nullptr));
  }

  xcb_connection_t* Connection() const { return connection_.get(); }
  xcb_window_t Window() const { return window_; }

 private:
  int screen_number_ = 0;
  std::unique_ptr<xcb_connection_t, Disconnect> connection_;
  xcb_window_t window_ = 0;
};

void Append(std::string& bytes, const xcb_get_property_reply_t& reply) {
  const auto* value = static_cast<const char*>(xcb_get_property_value(&reply));
  bytes.append(value, static_cast<std::size_t>(xcb_get_property_value_length(&reply)));
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  for (const char byte : latin1) {
    const auto unit = static_cast<unsigned char>(byte);
    if (unit < 0x80) {
      utf8 += byte;
    } else {
      utf8 += static_cast<char>(0xC0 | (unit >> 6));
      utf8 += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return utf8;
}

bool IsX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// One request for the selection as `target`: the text, or why there is none.
X11Reading Request(Session& session, xcb_atom_t selection, xcb_atom_t target, xcb_atom_t property) {
  using Outcome = X11Reading::Outcome;
  const xcb_atom_t incremental = session.Atom("INCR");
  xcb_convert_selection(session.Connection(), session.Window(), selection, target, property, XCB_CURRENT_TIME);
  const auto notified = session.WaitFor<xcb_selection_notify_event_t>(
      XCB_SELECTION_NOTIFY, [&](const xcb_selection_notify_event_t& event) { return event.selection == selection; });
  if (!notified) return {Outcome::kNoAnswer, {}};
  if (notified->property == XCB_ATOM_NONE) return {Outcome::kNoText, {}};
  const auto first = session.Take(property);
  if (!first) return {Outcome::kNoAnswer, {}};
  X11Reading reading{Outcome::kText, {}};
  if (first->type == target) {
    Append(reading.bytes, *first);
    return reading;
  }
  if (first->type != incremental) return {Outcome::kNoText, {}};
  // A large text comes in parts, each put on the property once the last was
  // taken off; an empty part ends it. Each part has its own time to come.
  for (;;) {
    const auto changed = session.WaitFor<xcb_property_notify_event_t>(
        XCB_PROPERTY_NOTIFY, [&](const xcb_property_notify_event_t& event) {
          return event.atom == property && event.state == XCB_PROPERTY_NEW_VALUE;
        });
    if (!changed) return {Outcome::kNoAnswer, {}};
    const auto part = session.Take(property);
    if (!part) return {Outcome::kNoAnswer, {}};
    if (xcb_get_property_value_length(part.get()) == 0) return reading;
    Append(reading.bytes, *part);
  }
}

}  // namespace

X11Reading ReadX11Selection(std::string_view selection_name) {
  using Outcome = X11Reading::Outcome;
  if (!IsX11()) return {};
  Session session;
  if (!session.Open()) return {Outcome::kNoText, {}};
  const xcb_atom_t selection = session.Atom(selection_name);
  const xcb_atom_t property = session.Atom("QUILLFEN_PASTE");
  X11Reading reading = Request(session, selection, session.Atom("UTF8_STRING"), property);
  if (reading.outcome != Outcome::kNoText) return reading;
  // An owner of older ways offers Latin-1 only.
  reading = Request(session, selection, XCB_ATOM_STRING, property);
  if (reading.outcome == Outcome::kText) reading.bytes = Latin1ToUtf8(reading.bytes);
  return reading;
}

std::optional<bool> X11SelectionOwned(std::string_view selection_name) {
  if (!IsX11()) return std::nullopt;
  Session session;
  if (!session.Open()) return false;
  xcb_connection_t* connection = session.Connection();
  const Reply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, session.Atom(selection_name)), nullptr));
  return owner && owner->owner != XCB_NONE;
}

#else

X11Reading ReadX11Selection(std::string_view) { return {}; }
std::optional<bool> X11SelectionOwned(std::string_view) { return std::nullopt; }

#endif

}  // namespace host::qt
