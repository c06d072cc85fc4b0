#include "host/start/bindings.h"

#include <algorithm>

namespace host {

void EventBindings::Bind(std::string_view control, Event event, const Procedure& procedure) {
  bindings_.push_back({control, event, &procedure});
}

const Procedure* EventBindings::Find(std::string_view control, Event event) const {
  const auto found = std::ranges::find_if(
      bindings_, [&](const Binding& b) { return b.control == control && b.event == event; });
  return found == bindings_.end() ? nullptr : found->procedure;
}

}  // namespace host
