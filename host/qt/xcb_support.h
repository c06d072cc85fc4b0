#pragma once
// What the backend's own X11 requests share: replies freed the way the
// protocol library allocates them, and atoms looked up by name in one round
// trip. Included only where the build has xcb.
#include <xcb/xcb.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace host::qt {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

/// The atoms of `names`, in their order; XCB_ATOM_NONE for one the server
/// does not answer. Every request goes out before the first answer is read.
template <std::size_t N>
std::array<xcb_atom_t, N> InternAtoms(xcb_connection_t* connection, const std::array<std::string_view, N>& names) {
  std::array<xcb_intern_atom_cookie_t, N> cookies{};
  for (std::size_t i = 0; i < N; ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
  }
  std::array<xcb_atom_t, N> atoms{};
  for (std::size_t i = 0; i < N; ++i) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
    atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
  return atoms;
}

}  // namespace host::qt
