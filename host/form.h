#pragma once
#include <functional>
#include <memory>
#include <string_view>

#include "host/controls.h"
#include "host/design.h"
#include "host/events.h"

namespace host {

/// The program's side of a window: receives its bound events.
class Form {
 public:
  virtual ~Form() = default;
  /// Runs the handler bound to `event` of `control`, if any.
  virtual void Handle(std::string_view control, Event event) = 0;
};

/// What the start routine needs to know of the program.
struct Program {
  std::string_view title;  // shown on error reports
  const WindowDesign* design = nullptr;
  std::function<std::unique_ptr<Form>(Window& window)> create_form;
};

}  // namespace host
