#include "host/backend.h"
#include "host/start.h"
#include "window/program.h"

int main() {
  const auto backend = host::CreateBackend();
  return host::Start(*backend, window::JSONfrmProgram());
}
