#include "host/objects/backend.h"
#include "host/start/start.h"
#include "window/procedures.h"
#include "app/project_image.h"

int main() {
  const auto backend = host::CreateBackend();
  return host::Start(*backend, app::kProjectImage, window::kJSONfrmCode);
}
