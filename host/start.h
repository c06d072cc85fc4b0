#pragma once
#include "host/backend.h"
#include "host/form.h"

namespace host {

/// Creates the program's window, runs Load, shows it and runs the event
/// loop until the window closes. Returns the process exit status: non-zero
/// when a handler failed.
int Start(Backend& backend, const Program& program);

}  // namespace host
