#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

#include "host/design/events.h"
#include "host/objects/form.h"

namespace host {

/// Which procedure handles which event of which control, as the event
/// tables of the project image bind them.
class EventBindings {
 public:
  void Bind(std::string_view control, Event event, const Procedure& procedure);

  /// The procedure bound to `event` of `control`, or null.
  const Procedure* Find(std::string_view control, Event event) const;

 private:
  struct Binding {
    std::string_view control;
    Event event;
    const Procedure* procedure;
  };
  std::vector<Binding> bindings_;
};

}  // namespace host
