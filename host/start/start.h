#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "host/objects/backend.h"
#include "host/start/bindings.h"
#include "host/records/design_reader.h"
#include "host/objects/form.h"
#include "host/records/project_reader.h"

namespace host {

/// Exit status when the program cannot start from its image.
inline constexpr int kMalformedImageStatus = 2;

/// What the start routine takes from the image, read and checked against
/// the program's code before anything is built.
struct StartPlan {
  ProjectImage project;
  std::size_t object = 0;  // the start-up window's object in project.objects
  DesignRecord design;
  EventBindings bindings;  // views names of the image and entries of the code
  std::string_view title;  // on error reports: the project name
};

/// The interfaces the image's object table names for `object`, as its form
/// is made with them.
ObjectInterfaces InterfacesOf(const ImageObject& object);

/// Reads the project image and the start-up window's design record, and
/// binds each event of the image's event tables to its procedure in `code`.
/// Throws RecordError when the image is malformed, cannot be started from,
/// or disagrees with the code.
StartPlan PlanStart(std::span<const std::uint8_t> image, const ObjectCode& code);

/// The start routine: reads the image; creates its only window from its
/// design record; runs Load, shows the window (the backend raises Resize
/// from then on) and runs the event loop until the window closes. Returns
/// the process exit status: non-zero when the image is malformed (reported
/// on standard error and through the backend) or when a handler failed.
int Start(Backend& backend, std::span<const std::uint8_t> image, const ObjectCode& code);

}  // namespace host
