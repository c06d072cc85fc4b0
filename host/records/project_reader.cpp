#include "host/records/project_reader.h"

#include <algorithm>
#include <string>

#include "host/records/byte_reader.h"
#include "host/records/project_format.h"
#include "host/records/record_text.h"

namespace host {
namespace {

using namespace project;

// Checks that `needed` bytes at `address`, read from the field at `at`,
// lie in the image behind the header.
void CheckPlace(const ByteReader& from, std::size_t at, std::string_view field, std::uint32_t address,
                std::uint64_t needed) {
  const std::size_t size = from.All().size();
  if (address < kStringsOffset || address > size || needed > size - address) {
    from.FailAt(at, field,
                "is " + std::to_string(address) + "; " + std::to_string(needed) +
                    " bytes there lie outside the records of the " + std::to_string(size) +
                    "-byte image");
  }
}

// Reads an address field; returns a reader over the image placed there.
ByteReader Follow(ByteReader& from, std::string_view field, std::uint64_t needed,
                  std::string_view record) {
  const std::size_t at = from.Offset();
  const std::uint32_t address = from.U32(field);
  CheckPlace(from, at, field, address, needed);
  ByteReader to(from.All(), record);
  to.Seek(address, record);
  return to;
}

// Reads a count field and the address field after it; returns a reader
// placed at the table of `count` entries.
ByteReader FollowTable(ByteReader& from, std::string_view count_field, std::string_view address_field,
                       std::size_t entry_length, std::string_view record, std::uint32_t& count) {
  count = from.U32(count_field);
  return Follow(from, address_field, std::uint64_t{count} * entry_length, record);
}

// Reads the address of a zero-terminated name and the name there.
std::string_view ReadNameAt(ByteReader& from, std::string_view field) {
  ByteReader name = Follow(from, field, 1, from.Record());
  return ReadTerminated(name, field);
}

// A name in a fixed-width field, zero-terminated within it.
std::string_view ReadLibraryName(ByteReader& in, std::string_view field) {
  const std::size_t at = in.Offset();
  in.Bytes(kLibraryNameWidth, field);
  ByteReader name(in.All().first(at + kLibraryNameWidth), "project header");
  name.Seek(at, field);
  return ReadTerminated(name, field);
}


ImageControl ReadControl(ByteReader& table, const ImageObject& object) {
  ImageControl control;
  control.name = ReadNameAt(table, "control name");
  const std::string record = "event table of " + std::string(control.name);
  std::uint32_t count = 0;
  ByteReader events = FollowTable(table, "event count", "event table address", 4, record, count);
  control.handlers.reserve(count);
  for (std::uint32_t event = 0; event < count; ++event) {
    const std::size_t at = events.Offset();
    const std::string field = "event " + std::to_string(event);
    const std::uint32_t procedure = events.U32(field);
    if (procedure != kNoHandler && procedure >= object.procedures.size()) {
      events.FailAt(at, field,
                    "names procedure " + std::to_string(procedure) + ", but " +
                        std::string(object.name) + " has " + std::to_string(object.procedures.size()));
    }
    control.handlers.push_back(procedure);
  }
  return control;
}

ImageObject ReadObject(ByteReader& in) {
  ImageObject object;
  object.name = ReadNameAt(in, "object name");
  object.locale = in.U32("locale");
  object.second_locale = in.U32("second locale");

  std::uint32_t count = 0;
  ByteReader procedures =
      FollowTable(in, "procedure count", "procedure table address", 4, "procedure table", count);
  object.procedures.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) object.procedures.push_back(ReadNameAt(procedures, "procedure name"));

  ByteReader names = FollowTable(in, "name-table slot count", "name table address", 4, "name table", count);
  object.name_table.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = names.Offset();
    if (names.U32("name slot") == kNoName) {
      object.name_table.emplace_back();
      continue;
    }
    names.Seek(at, "name slot");
    object.name_table.push_back(ReadNameAt(names, "name slot"));
  }

  object.interfaces.object = in.ReadGuid("object interface");
  object.interfaces.window = in.ReadGuid("window interface");

  ByteReader controls =
      FollowTable(in, "control count", "control table address", kControlEntryLength, "control table", count);
  object.controls.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) object.controls.push_back(ReadControl(controls, object));
  return object;
}

void ReadObjects(ByteReader& info, ProjectImage& project) {
  ByteReader table = Follow(info, "object table address", 4, "object table");
  const std::size_t at = table.Offset();
  const std::uint32_t count = table.U32("object count");
  if (count > table.Remaining() / kObjectEntryLength) {
    table.FailAt(at, "object count", "is " + std::to_string(count) + "; that many entries run past the image");
  }
  project.objects.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) project.objects.push_back(ReadObject(table));
}

void ReadWindows(ByteReader& table, std::uint16_t count, ProjectImage& project) {
  for (std::uint16_t i = 0; i < count; ++i) {
    ImageWindow window;
    window.object_id = table.ReadGuid("object identifier");
    const std::size_t object_at = table.Offset();
    window.object = table.U32("object index");
    if (window.object >= project.objects.size()) {
      table.FailAt(object_at, "object index",
                   "is " + std::to_string(window.object) + ", but the object table has " +
                       std::to_string(project.objects.size()));
    }
    const std::size_t address_at = table.Offset();
    const std::uint32_t address = table.U32("design record address");
    const std::uint32_t length = table.U32("design record length");
    CheckPlace(table, address_at, "design record address", address, length);
    window.design_record = table.All().subspan(address, length);
    project.windows.push_back(window);
  }
}

ImageRegistration ReadRegistration(ByteReader& in) {
  ImageRegistration registration;
  const std::size_t at = in.Offset();
  registration.object_count = in.U32("objects to register");
  if (registration.object_count != 0) {
    in.FailAt(at, "objects to register",
              "is " + std::to_string(registration.object_count) + ", but the image holds none to register");
  }
  registration.project_name = ReadNameAt(in, "project name");
  registration.help_directory = ReadNameAt(in, "help directory");
  registration.type_library = in.ReadGuid("type library");
  registration.major = in.U16("type library major version");
  registration.minor = in.U16("type library minor version");
  registration.locale = in.U32("type library locale");
  return registration;
}

}  // namespace

ProjectImage ReadProjectImage(std::span<const std::uint8_t> image) {
  ByteReader in(image, "project header");
  if (image.size() < kStringsOffset) {
    in.FailAt(0, "header", "needs " + std::to_string(kStringsOffset) + " bytes, the image has " +
                               std::to_string(image.size()));
  }
  ProjectImage project;
  ProjectHeader& header = project.header;
  in.ExpectBytes(kSignature, "signature", "is not the project header signature");
  header.runtime_build = in.U16("runtime build");
  header.language_library = ReadLibraryName(in, "language library");
  header.second_language_library = ReadLibraryName(in, "second language library");
  header.runtime_revision = in.U16("runtime revision");
  header.locale = in.U32("locale");
  header.second_locale = in.U32("second locale");
  header.start_up_procedure = in.U32("start-up procedure address");
  ByteReader info = Follow(in, "project information address", kProjectInfoLength, "project information");
  header.control_kinds = in.U32("control kinds");
  header.control_flags = in.U32("control flags");
  header.threading_flags = in.Expect(kSingleThreaded, "threading flags", "single-threaded");
  header.thread_count = in.Expect(kThreadCount, "thread count", "one thread");
  header.window_count = in.U16("window count");
  const std::size_t external_at = in.Offset();
  header.external_count = in.U16("external component count");
  if (header.external_count != 0) {
    in.FailAt(external_at, "external component count",
              "is " + std::to_string(header.external_count) + ", but external components are not supported");
  }
  header.thunk_count = in.U32("thunk count");
  ByteReader windows =
      Follow(in, "window table address", std::uint64_t{header.window_count} * kWindowEntryLength, "window table");
  Follow(in, "external component table address", 0, "external component table");
  ByteReader registration = Follow(in, "registration data address", kRegistrationLength, "registration data");
  header.description = ReadNameAt(in, "project description");
  header.executable_name = ReadNameAt(in, "executable name");
  header.help_file = ReadNameAt(in, "help file name");
  header.project_name = ReadNameAt(in, "project name");
  in.ExpectZeros(kReservedLength, "reserved bytes");

  project.info_version = info.Expect(kProjectInfoVersion, "version");
  ReadObjects(info, project);
  ReadWindows(windows, header.window_count, project);
  project.registration = ReadRegistration(registration);
  return project;
}

}  // namespace host
