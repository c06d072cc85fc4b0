#pragma once
#include "host/form.h"
#include "host/project_reader.h"
#include "window/records.h"

namespace window::testing {

/// JSONfrm's interfaces as the start routine hands them to the form: read
/// back from the project image.
inline host::ObjectInterfaces ImageInterfaces() {
  return host::ReadProjectImage(kProjectImage).objects.at(0).interfaces;
}

}  // namespace window::testing
