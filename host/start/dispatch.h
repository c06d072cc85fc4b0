#pragma once
#include <string_view>

#include "host/objects/backend.h"
#include "host/start/bindings.h"
#include "host/objects/form.h"

namespace host {

/// Exit status once a handler, or the building of the window, has failed.
inline constexpr int kFailureExitStatus = 1;

/// Delivers events to a form one at a time, each to the procedure its event
/// table binds. An error that escapes a handler is reported to the user and
/// ends the program; no handler runs after it.
class Dispatcher final : public EventSink {
 public:
  Dispatcher(Backend& backend, std::string_view title) : backend_(backend), title_(title) {}

  void Attach(Form& form, const EventBindings& bindings) {
    form_ = &form;
    bindings_ = &bindings;
  }
  void Raise(std::string_view control, Event event) override;

  /// Exit status once a handler has failed, else 0.
  int Failure() const { return failure_; }

 private:
  Backend& backend_;
  std::string_view title_;
  Form* form_ = nullptr;
  const EventBindings* bindings_ = nullptr;
  int failure_ = 0;
};

}  // namespace host
