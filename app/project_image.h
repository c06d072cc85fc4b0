#pragma once
// The records the program starts from, written at compile time: JSONfrm's
// design record, and the project image that leads to it and holds it.
#include <array>
#include <cstdint>
#include <string_view>

#include "host/records/design_writer.h"
#include "host/design/events.h"
#include "host/objects/form.h"
#include "host/records/project_writer.h"
#include "window/design.h"
#include "window/identifiers.h"
#include "window/names.h"
#include "window/procedures.h"

namespace app {
namespace detail {

inline constexpr auto kDesignWriter = host::design_record::Encode<1024>(window::kJSONfrmDesign);

inline constexpr std::array<host::project::EventHandler, 2> kWindowEvents{{
    {host::Event::kLoad, window::ProcedureIndex("Form_Load")},
    {host::Event::kResize, window::ProcedureIndex("Form_Resize")},
}};
inline constexpr std::array<host::project::EventHandler, 1> kCommand1Events{{
    {host::Event::kClick, window::ProcedureIndex("Command1_Click")},
}};
inline constexpr std::array<host::project::ControlEvents, 6> kControlTable{{
    {window::kLabel1, {}},
    {window::kLabel2, {}},
    {window::kJSONfrmDesign.name, kWindowEvents},
    {window::kOutputs, {}},
    {window::kInputs, {}},
    {window::kCommand1, kCommand1Events},
}};
inline constexpr auto kProcedureNames = host::NamesOf(window::kJSONfrmProcedures);
inline constexpr std::array<std::string_view, 4> kNameTable{"", "JSONFormat", "", ""};

inline constexpr std::uint32_t kUsEnglish = 1033;
inline constexpr std::uint32_t kUkEnglish = 2057;
// Bits by control kind: 1 label, 2 text box, 4 push button, 13 window, and
// 12, 14, 15, 20 and 21 besides.
inline constexpr std::uint32_t kControlKinds = 0x0030F016;

}  // namespace detail

/// JSONfrm's design record.
inline constexpr auto kJSONfrmDesignRecord =
    host::Trimmed<detail::kDesignWriter.Offset()>(detail::kDesignWriter);

static_assert(kJSONfrmDesignRecord.size() == 408);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign) == 90);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign.controls[0]) == 33);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign.controls[1]) == 41);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign.controls[2]) == 32);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign.controls[3]) == 58);
static_assert(host::design_record::RecordLength(window::kJSONfrmDesign.controls[4]) == 54);
static_assert(kJSONfrmDesignRecord.size() - host::design_record::kBlockLengthOffset == 319);

namespace detail {

inline constexpr host::project::ProjectDescription kProject{
    .runtime_build = 9782,
    .language_library = "*",
    .second_language_library = "~",
    .runtime_revision = 10,
    .locale = kUsEnglish,
    .second_locale = 0,
    .control_kinds = kControlKinds,
    .control_flags = 0xFFFFFF00,
    .thunk_count = 233,
    .description = "Quillfen",
    .executable_name = "Quillfen",
    .help_file = "",
    .project_name = "Quillfen",
    .object = {.name = window::kJSONfrmDesign.name,
               .locale = kUsEnglish,
               .second_locale = kUkEnglish,
               .procedures = kProcedureNames,
               .name_table = kNameTable,
               .interfaces = {.object = window::kJSONFormatInterface, .window = window::kJSONfrmInterface},
               .controls = kControlTable},
    .window_object_id = window::kJSONfrmObjectId,
    .design_record = kJSONfrmDesignRecord,
    .help_directory = "",
    .type_library = window::kTypeLibrary,
    .type_library_major = 1,
    .type_library_minor = 0,
    .type_library_locale = 0,
};

inline constexpr auto kImageWriter = host::project::Encode<2048>(kProject);

}  // namespace detail

/// The project image the entry point hands to the start routine.
inline constexpr auto kProjectImage = host::Trimmed<detail::kImageWriter.Offset()>(detail::kImageWriter);

// Header and strings 148, records 440, names 95 and 1 byte of alignment,
// then the design record.
static_assert(kProjectImage.size() == 684 + kJSONfrmDesignRecord.size());

}  // namespace app
