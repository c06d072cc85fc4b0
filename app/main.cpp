#include "host/backend.h"
#include "host/runtime_error.h"
#include "host/start.h"
#include "window/program.h"

int main() {
  const host::Program program = window::JSONfrmProgram();
  const auto backend = host::CreateBackend();
  // Errors in handlers are reported by the start routine itself; this is
  // for a window system that fails while the window is being built.
  try {
    return host::Start(*backend, program);
  } catch (const host::RuntimeError& error) {
    backend->ReportError(program.title, error);
    return 1;
  }
}
