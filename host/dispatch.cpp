#include "host/dispatch.h"

#include <new>

#include "host/runtime_error.h"

namespace host {
namespace {
constexpr int kFailureExitStatus = 1;
}

void Dispatcher::Raise(std::string_view control, Event event) {
  if (form_ == nullptr || failure_ != 0) return;
  try {
    form_->Handle(control, event);
    return;
  } catch (const RuntimeError& error) {
    failure_ = kFailureExitStatus;
    backend_.ReportError(title_, error);
  } catch (const std::bad_alloc&) {
    failure_ = kFailureExitStatus;
    backend_.ReportError(title_, RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory"));
  }
  backend_.Quit(failure_);
}

}  // namespace host
