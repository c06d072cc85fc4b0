#pragma once
#include "host/objects/form.h"
#include "host/start/start.h"
#include "app/project_image.h"

namespace window::testing {

/// JSONfrm's interfaces as the start routine hands them to the form: read
/// back from the project image.
inline host::ObjectInterfaces ImageInterfaces() {
  return host::InterfacesOf(host::ReadProjectImage(app::kProjectImage).objects.at(0));
}

}  // namespace window::testing
