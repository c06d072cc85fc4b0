#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/records/byte_reader.h"
#include "host/records/project_format.h"
#include "host/records/project_reader.h"
#include "host/start/start.h"
#include "tests/app/corruption.h"
#include "window/identifiers.h"
#include "window/procedures.h"
#include "app/project_image.h"

namespace window {
namespace {

using testing::Bytes;
using testing::Copy32;
using testing::Corruption;
using testing::Set;
using testing::Set32;
using host::project::kNoHandler;

const Bytes kImage(app::kProjectImage.begin(), app::kProjectImage.end());

std::uint32_t Read(std::size_t offset, int width) {
  host::ByteReader in(kImage, "image");
  in.Seek(offset, "field");
  return width == 2 ? in.U16("field") : in.U32("field");
}

TEST(ProjectImageLayout, HeaderFieldsAtTheirOffsets) {
  struct Field {
    std::size_t offset;
    int width;
    std::uint32_t value;
  };
  const Field fields[] = {
      {4, 2, 9782},  {34, 2, 10},         {36, 4, 1033}, {40, 4, 0},  {44, 4, 0},
      {52, 4, 0x0030F016}, {56, 4, 0xFFFFFF00}, {60, 4, 8}, {64, 4, 1}, {68, 2, 1},
      {70, 2, 0},    {72, 4, 233},        {88, 4, 120},  {92, 4, 129}, {96, 4, 138},
      {100, 4, 139},
  };
  for (const Field& f : fields) EXPECT_EQ(Read(f.offset, f.width), f.value) << "offset " << f.offset;
  EXPECT_EQ(std::string(kImage.begin(), kImage.begin() + 4), "VB5!");
  Bytes library{'*'};
  library.resize(14, 0);
  EXPECT_EQ(Bytes(kImage.begin() + 6, kImage.begin() + 20), library);
  library[0] = '~';
  EXPECT_EQ(Bytes(kImage.begin() + 20, kImage.begin() + 34), library);
  EXPECT_EQ(Bytes(kImage.begin() + 104, kImage.begin() + 120), Bytes(16, 0));
  constexpr char kStrings[] = "Quillfen\0Quillfen\0\0Quillfen";  // and the closing zero
  EXPECT_EQ(std::string(kImage.begin() + 120, kImage.begin() + 148), std::string(kStrings, sizeof kStrings));
  // Addresses are offsets into the image; the empty external table shares
  // the window table's place.
  EXPECT_EQ(Read(80, 4), Read(76, 4));
  for (std::size_t field : {48, 76, 84}) {
    EXPECT_GE(Read(field, 4), 148u) << field;
    EXPECT_LT(Read(field, 4), kImage.size()) << field;
  }
}

TEST(ProjectImageReader, ReadsTheHeaderBack) {
  const host::ProjectImage project = host::ReadProjectImage(kImage);
  const host::ProjectHeader& h = project.header;
  EXPECT_EQ(h.language_library, "*");
  EXPECT_EQ(h.second_language_library, "~");
  EXPECT_EQ(h.control_kinds, 0x0030F016u);
  EXPECT_EQ(h.description, "Quillfen");
  EXPECT_EQ(h.executable_name, "Quillfen");
  EXPECT_EQ(h.help_file, "");
  EXPECT_EQ(h.project_name, "Quillfen");
  EXPECT_EQ(project.info_version, 500u);
}

TEST(ProjectImageReader, ReadsTheObjectTable) {
  const host::ProjectImage project = host::ReadProjectImage(kImage);
  ASSERT_EQ(project.objects.size(), 1u);
  const host::ImageObject& object = project.objects[0];
  EXPECT_EQ(object.name, "JSONfrm");
  EXPECT_EQ(object.locale, 1033u);
  EXPECT_EQ(object.second_locale, 2057u);
  EXPECT_EQ(object.procedures,
            (std::vector<std::string_view>{"JSONFormat", "Command1_Click", "Form_Load", "Form_Resize"}));
  EXPECT_EQ(object.name_table, (std::vector<std::string_view>{"", "JSONFormat", "", ""}));
  EXPECT_EQ(object.interfaces.object.ToString(), "{C3488A7A-5A46-44B1-9C76-D81648D2CF0F}");
  EXPECT_EQ(object.interfaces.window.ToString(), "{D2EAC61E-E94C-4313-B6A1-7A7932253286}");

  std::vector<std::string_view> names;
  for (const host::ImageControl& control : object.controls) {
    names.push_back(control.name);
    std::vector<std::uint32_t> expected(8, kNoHandler);
    if (control.name == "JSONfrm") {
      expected[6] = 2;  // Load: Form_Load
      expected[7] = 3;  // Resize: Form_Resize
    } else if (control.name == "Command1") {
      expected[0] = 1;  // Click: Command1_Click
    }
    EXPECT_EQ(control.handlers, expected) << control.name;
  }
  EXPECT_EQ(names, (std::vector<std::string_view>{"Label1", "Label2", "JSONfrm", "Outputs", "Inputs",
                                                  "Command1"}));
}

TEST(ProjectImageReader, ReadsTheWindowTableAndRegistration) {
  const host::ProjectImage project = host::ReadProjectImage(kImage);
  ASSERT_EQ(project.windows.size(), 1u);
  const host::ImageWindow& window = project.windows[0];
  EXPECT_EQ(window.object_id.ToString(), "{AA99E2F8-C719-4F1F-B1F7-57A6D6324207}");
  EXPECT_EQ(window.object, 0u);
  ASSERT_EQ(window.design_record.size(), 408u);
  EXPECT_TRUE(std::ranges::equal(window.design_record, app::kJSONfrmDesignRecord));
  EXPECT_EQ(window.design_record.data(), kImage.data() + Read(544, 4)) << "the record is embedded";

  const host::ImageRegistration& r = project.registration;
  EXPECT_EQ(r.object_count, 0u);
  EXPECT_EQ(r.project_name, "Quillfen");
  EXPECT_EQ(r.help_directory, "");
  EXPECT_EQ(r.type_library.ToString(), "{4466772B-DD01-4CA0-A06D-EB6166E945B3}");
  EXPECT_EQ(r.major, 1);
  EXPECT_EQ(r.minor, 0);
  EXPECT_EQ(r.locale, 0u);
}

TEST(StartPlan, BindsExactlyTheThreeEventsToTheirProcedures) {
  const host::StartPlan plan = host::PlanStart(kImage, kJSONfrmCode);
  EXPECT_EQ(plan.title, "Quillfen");
  EXPECT_EQ(plan.design.Design().name, "JSONfrm");
  struct Case {
    const char* control;
    host::Event event;
    const char* procedure;  // null: unbound
  };
  const Case cases[] = {
      {"Command1", host::Event::kClick, "Command1_Click"}, {"JSONfrm", host::Event::kLoad, "Form_Load"},
      {"JSONfrm", host::Event::kResize, "Form_Resize"},    {"JSONfrm", host::Event::kClick, nullptr},
      {"Command1", host::Event::kLoad, nullptr},           {"Inputs", host::Event::kClick, nullptr},
      {"Label1", host::Event::kClick, nullptr},            {"Nowhere", host::Event::kClick, nullptr},
  };
  for (const Case& c : cases) {
    const host::Procedure* found = plan.bindings.Find(c.control, c.event);
    if (c.procedure == nullptr) {
      EXPECT_EQ(found, nullptr) << c.control;
    } else {
      ASSERT_NE(found, nullptr) << c.control;
      EXPECT_EQ(found->name, c.procedure);
      EXPECT_EQ(found, &kJSONfrmProcedures[ProcedureIndex(c.procedure)]);
    }
  }
}

// Offsets in the image as written: project information at 148, the object
// entry at 160, procedure table 228, name table 244, control table 260, event
// tables from 332 (32 bytes each), window table 524, registration 552,
// names from 588, the design record at 684.
const Corruption kCorruptions[] = {
    {"signature", Set(0, 'X'), "project header: signature at offset 0: is not the project header signature"},
    {"language library unterminated", [](Bytes& b) { std::fill_n(b.begin() + 6, 14, 'a'); },
     "project header: language library at offset 6: has no zero terminator"},
    {"threading flags", Set(60, 9), "project header: threading flags at offset 60: is 9, expected 8 (single-threaded)"},
    {"thread count", Set(64, 2), "project header: thread count at offset 64: is 2, expected 1 (one thread)"},
    {"external components", Set(70, 1),
     "project header: external component count at offset 70: is 1, but external components are not supported"},
    {"project information outside", Set32(48, 5000),
     "project header: project information address at offset 48: is 5000; 8 bytes there lie outside the "
     "records of the 1092-byte image"},
    {"project information in the header", Set32(48, 0),
     "project header: project information address at offset 48: is 0; 8 bytes there lie outside the records "
     "of the 1092-byte image"},
    {"window table past the end", Set32(76, 1080),
     "project header: window table address at offset 76: is 1080; 28 bytes there lie outside the records of "
     "the 1092-byte image"},
    {"registration at the end", Set32(84, 1092),
     "project header: registration data address at offset 84: is 1092; 36 bytes there lie outside the records "
     "of the 1092-byte image"},
    {"string outside", Set32(88, 2000),
     "project header: project description at offset 88: is 2000; 1 bytes there lie outside the records of the "
     "1092-byte image"},
    {"string without terminator", Set32(100, 1091), "project header: project name at offset 1091: has no zero terminator"},
    {"reserved", Set(110, 1), "project header: reserved bytes at offset 110: are not zero"},
    {"information version", Set(148, 0xF5), "project information: version at offset 148: is 501, expected 500"},
    {"object count", Set(156, 200), "object table: object count at offset 156: is 200; that many entries run past the image"},
    {"name not ASCII", Set(588, 0x80),
     "object table: object name at offset 588: holds 0x80, which is not an ASCII letter"},
    {"procedure count", Set32(172, 0x40000000),
     "object table: procedure table address at offset 176: is 228; 4294967296 bytes there lie outside the "
     "records of the 1092-byte image"},
    {"name slot outside", Set32(248, 0xFFFFFFFE),
     "name table: name slot at offset 248: is 4294967294; 1 bytes there lie outside the records of the "
     "1092-byte image"},
    {"event names no procedure", Set(492, 9),
     "event table of Command1: event 0 at offset 492: names procedure 9, but JSONfrm has 4"},
    {"event table count", Set32(264, 1000),
     "control table: event table address at offset 268: is 332; 4000 bytes there lie outside the records of "
     "the 1092-byte image"},
    {"window's object", Set(540, 1), "window table: object index at offset 540: is 1, but the object table has 1"},
    {"design record outside", Set32(544, 1000),
     "window table: design record address at offset 544: is 1000; 408 bytes there lie outside the records of "
     "the 1092-byte image"},
    {"objects to register", Set(552, 1),
     "registration data: objects to register at offset 552: is 1, but the image holds none to register"},
    // Found when the image is checked against the program.
    {"start-up procedure", Set(44, 0x10),
     "project header: start-up procedure address at offset 44: is 16, but only a window can start the program"},
    {"no window", Set(68, 0),
     "project header: window count at offset 68: is 0, but the program starts from its only window"},
    {"event bound to a procedure with arguments", Set(492, 0),
     "event table of Command1: event 0 is bound to JSONFormat, which takes arguments and handles no event"},
    {"procedure out of order", Copy32(236, 232),
     "procedure table of JSONfrm: procedure 1 is Form_Load in the image but Command1_Click in the program"},
    {"control not designed", Copy32(228, 260), "control table of JSONfrm: JSONFormat is not in the window's design"},
    {"window object identifier", Set(524, 0xF9),
     "design record: object identifier {AA99E2F8-C719-4F1F-B1F7-57A6D6324207} differs from the window table's "
     "{AA99E2F9-C719-4F1F-B1F7-57A6D6324207}"},
    {"window interface", Set(204, 0x1F),
     "design record: interface identifier {D2EAC61E-E94C-4313-B6A1-7A7932253286} differs from the object "
     "table's {D2EAC61F-E94C-4313-B6A1-7A7932253286}"},
    {"control kind missing", Set(53, 0xD0),
     "project header: control kinds at offset 52: lack kind 13 (window) of JSONfrm"},
    {"design record cut", Set(548, 0x97),
     "design record: control block length at offset 89: is 319 but the block holds 318 bytes"},
    {"design record corrupt", Set(684, 0), "design record: signature at offset 0: is not FF CC 31 00"},
};

void Plan(std::span<const std::uint8_t> image) { host::PlanStart(image, kJSONfrmCode); }

TEST(StartPlan, RejectsEachCorruptionWithItsMessage) {
  testing::ExpectEachRejected(kImage, kCorruptions, Plan);
}

TEST(StartPlan, RejectsAProgramWhoseProcedureTableIsShorter) {
  const host::ObjectCode code{.create = kJSONfrmCode.create,
                              .procedures = std::span(kJSONfrmProcedures).first(3)};
  try {
    host::PlanStart(kImage, code);
    FAIL() << "no error";
  } catch (const host::RecordError& error) {
    EXPECT_STREQ(error.what(), "procedure table of JSONfrm: the image lists 4 procedures, the program has 3");
  }
}

TEST(StartPlan, RejectsTheImageCutShortAtEveryLength) { testing::ExpectEveryCutRejected(kImage, Plan); }

}  // namespace
}  // namespace window
