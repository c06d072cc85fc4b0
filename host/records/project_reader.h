#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "host/records/project_format.h"
#include "host/runtime/guid.h"

namespace host {

/// The project header's fields; its strings view the image.
struct ProjectHeader {
  std::uint16_t runtime_build = 0;
  std::string_view language_library;
  std::string_view second_language_library;
  std::uint16_t runtime_revision = 0;
  std::uint32_t locale = 0;
  std::uint32_t second_locale = 0;
  std::uint32_t start_up_procedure = 0;
  std::uint32_t control_kinds = 0;
  std::uint32_t control_flags = 0;
  std::uint32_t threading_flags = 0;
  std::uint32_t thread_count = 0;
  std::uint16_t window_count = 0;
  std::uint16_t external_count = 0;
  std::uint32_t thunk_count = 0;
  std::string_view description;
  std::string_view executable_name;
  std::string_view help_file;
  std::string_view project_name;
};

/// A control's event table: per event number, the index of the procedure
/// that handles it, or kNoHandler.
struct ImageControl {
  std::string_view name;
  std::vector<std::uint32_t> handlers;
};

struct ImageObject {
  std::string_view name;
  std::uint32_t locale = 0;
  std::uint32_t second_locale = 0;
  std::vector<std::string_view> procedures;
  std::vector<std::string_view> name_table;  // empty: no name in that slot
  project::InterfaceIds interfaces;
  std::vector<ImageControl> controls;
};

struct ImageWindow {
  Guid object_id;
  std::uint32_t object = 0;  // index into the object table
  std::span<const std::uint8_t> design_record;
};

struct ImageRegistration {
  std::uint32_t object_count = 0;
  std::string_view project_name;
  std::string_view help_directory;
  Guid type_library;
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint32_t locale = 0;
};

/// The project image read back. Texts and design records view the image,
/// which must outlive it.
struct ProjectImage {
  ProjectHeader header;
  std::uint32_t info_version = 0;
  std::vector<ImageObject> objects;
  std::vector<ImageWindow> windows;
  ImageRegistration registration;
};

/// Reads the project header and every record it leads to, checking each
/// offset, count and string before following it. Throws RecordError.
ProjectImage ReadProjectImage(std::span<const std::uint8_t> image);

}  // namespace host
