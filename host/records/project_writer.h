#pragma once
// Writes the project image at compile time; project_format.h gives the
// layout. The image always states one thread, no start-up procedure (the
// window starts the program), one window and no external components.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

#include "host/records/byte_writer.h"
#include "host/design/events.h"
#include "host/runtime/guid.h"
#include "host/records/project_format.h"

namespace host::project {

struct EventHandler {
  Event event;
  std::uint32_t procedure;  // index into the object's procedure table
};

struct ControlEvents {
  std::string_view name{};
  std::span<const EventHandler> handlers{};
};

struct ObjectDescription {
  std::string_view name{};
  std::uint32_t locale = 0;
  std::uint32_t second_locale = 0;
  std::span<const std::string_view> procedures{};  // procedure names, in table order
  std::span<const std::string_view> name_table{};  // empty: no name in that slot
  InterfaceIds interfaces{};
  std::span<const ControlEvents> controls{};
};

struct ProjectDescription {
  std::uint16_t runtime_build = 0;
  std::string_view language_library{};
  std::string_view second_language_library{};
  std::uint16_t runtime_revision = 0;
  std::uint32_t locale = 0;
  std::uint32_t second_locale = 0;
  std::uint32_t control_kinds = 0;
  std::uint32_t control_flags = 0;
  std::uint32_t thunk_count = 0;
  std::string_view description{};
  std::string_view executable_name{};
  std::string_view help_file{};
  std::string_view project_name{};
  ObjectDescription object{};
  Guid window_object_id{};
  std::span<const std::uint8_t> design_record{};
  std::string_view help_directory{};
  Guid type_library{};
  std::uint16_t type_library_major = 0;
  std::uint16_t type_library_minor = 0;
  std::uint32_t type_library_locale = 0;
};

namespace detail {

// Room the writer keeps for references to names and for event tables.
inline constexpr std::size_t kMaxNameReferences = 64;
inline constexpr std::size_t kMaxControls = 64;

// Names are written after the records; each reference is patched then.
// Equal names share one copy.
class NamePool {
 public:
  template <std::size_t C>
  constexpr void Refer(ByteWriter<C>& out, std::string_view name) {
    if (count_ == entries_.size()) throw std::length_error("too many names");
    entries_[count_++] = {out.Placeholder(), name, 0};
  }
  template <std::size_t C>
  constexpr void Write(ByteWriter<C>& out) {
    for (std::size_t i = 0; i < count_; ++i) {
      Entry& entry = entries_[i];
      for (std::size_t j = 0; j < i && entry.address == 0; ++j) {
        if (entries_[j].name == entry.name) entry.address = entries_[j].address;
      }
      if (entry.address == 0) {
        entry.address = static_cast<std::uint32_t>(out.Offset());
        out.Ascii(entry.name);
        out.U8(0);
      }
      out.Patch(entry.at, entry.address);
    }
  }

 private:
  struct Entry {
    std::size_t at = 0;
    std::string_view name;
    std::uint32_t address = 0;
  };
  std::array<Entry, kMaxNameReferences> entries_{};
  std::size_t count_ = 0;
};

template <std::size_t C>
constexpr void WriteLibraryName(ByteWriter<C>& out, std::string_view name) {
  if (name.size() >= kLibraryNameWidth) throw std::length_error("library name too long");
  out.Ascii(name);
  out.Zeros(kLibraryNameWidth - name.size());
}

template <std::size_t C>
constexpr std::uint32_t WriteString(ByteWriter<C>& out, std::string_view text) {
  const auto at = static_cast<std::uint32_t>(out.Offset());
  out.Ascii(text);
  out.U8(0);
  return at;
}

constexpr std::uint32_t Count(std::size_t count) {
  if (count > 0xFFFF) throw std::length_error("too many entries");
  return static_cast<std::uint32_t>(count);
}

}  // namespace detail

template <std::size_t Capacity>
constexpr ByteWriter<Capacity> Encode(const ProjectDescription& project) {
  ByteWriter<Capacity> out;
  detail::NamePool names;

  out.Bytes(kSignature);
  out.U16(project.runtime_build);
  detail::WriteLibraryName(out, project.language_library);
  detail::WriteLibraryName(out, project.second_language_library);
  out.U16(project.runtime_revision);
  out.U32(project.locale);
  out.U32(project.second_locale);
  out.U32(0);  // no start-up procedure
  const std::size_t project_info = out.Placeholder();
  out.U32(project.control_kinds);
  out.U32(project.control_flags);
  out.U32(kSingleThreaded);
  out.U32(kThreadCount);
  out.U16(1);  // windows
  out.U16(0);  // external components
  out.U32(project.thunk_count);
  const std::size_t window_table = out.Placeholder();
  const std::size_t external_table = out.Placeholder();
  const std::size_t registration = out.Placeholder();
  std::array<std::size_t, 4> string_fields{};
  for (std::size_t& at : string_fields) at = out.Placeholder();
  if (out.Offset() != kHeaderLength) throw std::logic_error("header length");
  out.Zeros(kReservedLength);

  const std::array<std::string_view, 4> strings{project.description, project.executable_name,
                                                project.help_file, project.project_name};
  std::uint32_t project_name = 0;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    project_name = detail::WriteString(out, strings[i]);
    out.Patch(string_fields[i], project_name);
  }

  out.Align(4);
  out.PatchHere(project_info);
  out.U32(kProjectInfoVersion);
  const std::size_t object_table = out.Placeholder();

  const ObjectDescription& object = project.object;
  out.PatchHere(object_table);
  out.U32(1);
  names.Refer(out, object.name);
  out.U32(object.locale);
  out.U32(object.second_locale);
  out.U32(detail::Count(object.procedures.size()));
  const std::size_t procedure_table = out.Placeholder();
  out.U32(detail::Count(object.name_table.size()));
  const std::size_t name_table = out.Placeholder();
  out.WriteGuid(object.interfaces.object);
  out.WriteGuid(object.interfaces.window);
  out.U32(detail::Count(object.controls.size()));
  const std::size_t control_table = out.Placeholder();

  out.PatchHere(procedure_table);
  for (std::string_view procedure : object.procedures) names.Refer(out, procedure);
  out.PatchHere(name_table);
  for (std::string_view name : object.name_table) {
    if (name.empty()) {
      out.U32(kNoName);
    } else {
      names.Refer(out, name);
    }
  }

  out.PatchHere(control_table);
  std::array<std::size_t, detail::kMaxControls> event_tables{};
  if (object.controls.size() > event_tables.size()) throw std::length_error("too many controls");
  for (std::size_t i = 0; i < object.controls.size(); ++i) {
    names.Refer(out, object.controls[i].name);
    out.U32(kEventTableLength);
    event_tables[i] = out.Placeholder();
  }
  for (std::size_t i = 0; i < object.controls.size(); ++i) {
    out.PatchHere(event_tables[i]);
    std::array<std::uint32_t, kEventTableLength> handlers{};
    handlers.fill(kNoHandler);
    for (const EventHandler& handler : object.controls[i].handlers) {
      const auto event = static_cast<std::size_t>(handler.event);
      if (event >= handlers.size() || handlers[event] != kNoHandler) throw std::invalid_argument("event slot");
      if (handler.procedure >= object.procedures.size()) throw std::out_of_range("no such procedure");
      handlers[event] = handler.procedure;
    }
    for (std::uint32_t slot : handlers) out.U32(slot);
  }

  out.PatchHere(window_table);
  out.PatchHere(external_table);  // no entries: it shares the window table's place
  out.WriteGuid(project.window_object_id);
  out.U32(0);  // the window's object
  const std::size_t design_record = out.Placeholder();
  out.U32(static_cast<std::uint32_t>(project.design_record.size()));

  out.PatchHere(registration);
  out.U32(0);  // no objects to register
  out.U32(project_name);
  names.Refer(out, project.help_directory);
  out.WriteGuid(project.type_library);
  out.U16(project.type_library_major);
  out.U16(project.type_library_minor);
  out.U32(project.type_library_locale);

  names.Write(out);
  out.Align(4);
  out.PatchHere(design_record);
  out.Bytes(project.design_record);
  return out;
}

}  // namespace host::project
