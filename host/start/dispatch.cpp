#include "host/start/dispatch.h"

#include <new>

#include "host/start/report.h"
#include "host/runtime/runtime_error.h"

namespace host {
void Dispatcher::Raise(std::string_view control, Event event) {
  if (form_ == nullptr || failure_ != 0) return;
  const Procedure* procedure = bindings_->Find(control, event);
  if (procedure == nullptr) return;
  try {
    procedure->run(*form_);
    return;
  } catch (const RuntimeError& error) {
    failure_ = kFailureExitStatus;
    Report(backend_, title_, error);
  } catch (const std::bad_alloc&) {
    failure_ = kFailureExitStatus;
    Report(backend_, title_, RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory"));
  }
  backend_.Quit(failure_);
}

}  // namespace host
