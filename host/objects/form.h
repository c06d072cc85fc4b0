#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "host/objects/controls.h"
#include "host/runtime/guid.h"

namespace host {

/// Program side of the boundary: the code behind a window (JSONfrm is one),
/// holding its handlers' state. Its event handlers are reached through the
/// object's procedure table, never through the form itself.
class Form {
 public:
  virtual ~Form() = default;
};

/// The interfaces a form names when a status check fails, as the object
/// table of the project image records them.
struct ObjectInterfaces {
  Guid object;  // the form's own members, such as a procedure it defines
  Guid window;  // the window's properties
};

/// One entry of an object's procedure table: its name, and how the host
/// runs it when an event is bound to it. A procedure that takes arguments
/// has no `run`: the form calls it itself, and no event may be bound to it.
struct Procedure {
  std::string_view name;
  void (*run)(Form& form) = nullptr;
};

/// The names of a procedure table, as the project image stores them.
template <std::size_t N>
constexpr std::array<std::string_view, N> NamesOf(const std::array<Procedure, N>& procedures) {
  std::array<std::string_view, N> names{};
  for (std::size_t i = 0; i < N; ++i) names[i] = procedures[i].name;
  return names;
}

/// The code behind one object of the project image: how to make its form
/// and its procedure table, in the order of the image's procedure table.
struct ObjectCode {
  std::unique_ptr<Form> (*create)(Window& me, const ObjectInterfaces& interfaces) = nullptr;
  std::span<const Procedure> procedures;
};

}  // namespace host
