#include "host/backend.h"
#include "host/start.h"
#include "window/procedures.h"
#include "window/records.h"

int main() {
  const auto backend = host::CreateBackend();
  return host::Start(*backend, window::kProjectImage, window::kJSONfrmCode);
}
