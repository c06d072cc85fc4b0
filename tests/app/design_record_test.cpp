#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "host/records/byte_reader.h"
#include "host/records/design_reader.h"
#include "host/records/design_writer.h"
#include "tests/app/corruption.h"
#include "window/design.h"
#include "app/project_image.h"

namespace window {
namespace {

using testing::Bytes;
using testing::Corruption;
using testing::Put32;
using testing::Set;

const Bytes kRecord(app::kJSONfrmDesignRecord.begin(), app::kJSONfrmDesignRecord.end());

void Append(Bytes& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out.push_back(static_cast<std::uint8_t>(b));
}
void AppendText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
void Append16(Bytes& out, int value) { Append(out, {value & 0xFF, (value >> 8) & 0xFF}); }
void Append32(Bytes& out, std::int64_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}
void Caption(Bytes& out, int code, std::string_view text) {
  Append(out, {code});
  Append16(out, static_cast<int>(text.size()));
  AppendText(out, text);
  Append(out, {0});
}
void Rect16(Bytes& out, int code, int left, int top, int width, int height) {
  Append(out, {code});
  for (int v : {left, top, width, height}) Append16(out, v);
}

TEST(DesignRecordLayout, HeaderByteByByte) {
  Bytes expected{0xFF, 0xCC, 0x31, 0x00, 0x05};
  // Mixed-endian: the first three fields little-endian, the rest as written.
  Append(expected, {0xF8, 0xE2, 0x99, 0xAA, 0x19, 0xC7, 0x1F, 0x4F,  // AA99E2F8-C719-4F1F
                    0xB1, 0xF7, 0x57, 0xA6, 0xD6, 0x32, 0x42, 0x07});
  Append(expected, {0x1E, 0xC6, 0xEA, 0xD2, 0x4C, 0xE9, 0x13, 0x43,  // D2EAC61E-E94C-4313
                    0xB6, 0xA1, 0x7A, 0x79, 0x32, 0x25, 0x32, 0x86});
  Append(expected, {0x3A, 0x4F, 0xAD, 0x33, 0x99, 0x66, 0xCF, 0x11,  // 33AD4F3A-6699-11CF
                    0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93});
  expected.resize(expected.size() + 36, 0);
  Append32(expected, 319);
  ASSERT_EQ(expected.size(), 93u);
  EXPECT_EQ(Bytes(kRecord.begin(), kRecord.begin() + 93), expected);
  EXPECT_EQ(kRecord.size(), 408u);
  EXPECT_EQ(89 + 319, static_cast<int>(kRecord.size()));
}

struct RecordCase {
  std::size_t offset;
  std::uint32_t length;
  std::uint8_t id;
  std::string name;
  std::uint8_t kind;
  Bytes properties;  // from the first code to the closing FF
  std::uint8_t after; // the byte behind the record
};

std::vector<RecordCase> ExpectedRecords() {
  std::vector<RecordCase> cases;
  Bytes window;
  Caption(window, 0x01, "JSON to readable text converter");
  Append(window, {0x19, 0x01, 0x00, 0x42, 0x00, 0x23, 0xFF, 0xFF, 0xFF, 0xFF});
  Caption(window, 0x24, "Form1");
  Append(window, {0x35});
  for (int v : {120, 465, 6615, 10890}) Append32(window, v);
  Append(window, {0x46, 3, 0xFF});
  cases.push_back({93, 90, 0, "JSONfrm", 13, window, 0x01});

  Bytes outputs;
  Rect16(outputs, 0x04, 960, 1320, 5525, 9375);
  Append(outputs, {0x12, 2, 0, 0x17, 0xFF, 0x18, 3, 0xFF});
  cases.push_back({184, 33, 1, "Outputs", 2, outputs, 0x03});

  Bytes command1;
  Caption(command1, 0x01, "Convert");
  Rect16(command1, 0x04, 120, 360, 735, 375);
  Append(command1, {0x11, 1, 0, 0xFF});
  cases.push_back({218, 41, 2, "Command1", 4, command1, 0x03});

  Bytes inputs;
  Rect16(inputs, 0x04, 960, 360, 5535, 615);
  Append(inputs, {0x12, 0, 0, 0x17, 0xFF, 0x18, 3, 0xFF});
  cases.push_back({260, 32, 3, "Inputs", 2, inputs, 0x03});

  Bytes label2;
  Caption(label2, 0x01, "JSON converted to readable");
  Rect16(label2, 0x05, 1200, 1080, 2535, 375);
  Append(label2, {0x12, 4, 0, 0xFF});
  cases.push_back({293, 58, 4, "Label2", 1, label2, 0x03});

  Bytes label1;
  Caption(label1, 0x01, "JSON string - paste in");
  Rect16(label1, 0x05, 1200, 0, 2535, 375);
  Append(label1, {0x12, 3, 0, 0xFF});
  cases.push_back({352, 54, 5, "Label1", 1, label1, 0x02});
  return cases;
}

TEST(DesignRecordLayout, EachRecordHasItsLengthIdNameKindAndProperties) {
  for (const RecordCase& c : ExpectedRecords()) {
    host::ByteReader in(kRecord, "design record");
    in.Seek(c.offset, "record");
    EXPECT_EQ(in.U32("length"), c.length) << c.name;
    EXPECT_EQ(in.U8("id"), c.id) << c.name;
    const std::uint16_t name_length = in.U16("name length");
    const auto name = in.Bytes(name_length, "name");
    EXPECT_EQ(std::string(name.begin(), name.end()), c.name);
    EXPECT_EQ(in.U8("terminator"), 0) << c.name;
    EXPECT_EQ(in.U8("kind"), c.kind) << c.name;
    const std::size_t end = c.offset + c.length;
    EXPECT_EQ(Bytes(kRecord.begin() + static_cast<long>(in.Offset()), kRecord.begin() + static_cast<long>(end)),
              c.properties)
        << c.name;
    EXPECT_EQ(kRecord[end], c.after) << c.name;
  }
  EXPECT_EQ(kRecord[407], 0x04);
}

TEST(DesignRecordLayout, CaptionLengths) {
  // Offset of each caption's length field: behind the record's fixed part,
  // its name and the caption's code.
  const std::array<std::pair<std::size_t, int>, 4> captions{{{93 + 16 + 1, 31},  // window
                                                             {218 + 17 + 1, 7},   // Command1
                                                             {293 + 15 + 1, 26},  // Label2
                                                             {352 + 15 + 1, 22}}};  // Label1
  for (const auto& [offset, length] : captions) {
    EXPECT_EQ(kRecord[offset] | kRecord[offset + 1] << 8, length) << offset;
  }
}

TEST(DesignRecordReader, ReadsBackTheDesignItWasWrittenFrom) {
  const host::DesignRecord record(kRecord);
  EXPECT_EQ(record.Design(), kJSONfrmDesign);
  EXPECT_EQ(record.Design().controls.size(), 5u);
  EXPECT_EQ(record.Design().controls[2].name, "Inputs");
}

// A design using what JSONfrm leaves at its defaults: single-line text boxes
// without scroll bars, negative positions, empty texts, other start-up place.
constexpr std::array<host::ControlDesign, 3> kOtherControls{{
    {.id = 1, .name = "Box", .kind = host::ControlKind::kTextBox, .rect = {-5, -32768, 32767, 0},
     .tab_index = -1},
    {.id = 2, .name = "L", .kind = host::ControlKind::kLabel, .caption = "", .rect = {1, 2, 3, 4}},
    {.id = 3, .name = "Button", .kind = host::ControlKind::kCommandButton, .caption = "Press",
     .tab_index = 7},
}};
constexpr host::WindowDesign kOtherDesign{.name = "Other",
                                          .object_id = {9, 9, 9, {9}},
                                          .interface_id = {8, 8, 8, {8}},
                                          .caption = "",
                                          .link_topic = "Topic",
                                          .client = {-1, 0, 100000, 2},
                                          .start_up_position = host::StartUpPosition::kScreen,
                                          .property_19 = 0,
                                          .property_23 = 1,
                                          .controls = kOtherControls};
constexpr auto kOtherWriter = host::design_record::Encode<512>(kOtherDesign);
constexpr auto kOtherRecord = host::Trimmed<kOtherWriter.Offset()>(kOtherWriter);

TEST(DesignRecordReader, ReadsBackDefaultsAndExtremes) {
  const host::DesignRecord record(kOtherRecord);
  EXPECT_EQ(record.Design(), kOtherDesign);
  // A single-line box without scroll bars stores neither property.
  EXPECT_EQ(host::design_record::RecordLength(kOtherControls[0]), 12u + 9 + 3 + 1);
}

const Corruption kCorruptions[] = {
    {"signature", Set(0, 0), "design record: signature at offset 0: is not FF CC 31 00"},
    {"version", Set(4, 6), "design record: format version at offset 4: is 6, expected 5"},
    {"window kind", Set(37, 0x3B),
     "design record: window kind identifier at offset 37: is {33AD4F3B-6699-11CF-B70C-00AA0060D393}, not a "
     "window's"},
    {"reserved", Set(60, 1), "design record: reserved bytes at offset 60: are not zero"},
    {"block length", Set(89, 0x40),
     "design record: control block length at offset 89: is 320 but the block holds 319 bytes"},
    {"extra byte", [](Bytes& b) { b.push_back(0); },
     "design record: control block length at offset 89: is 319 but the block holds 320 bytes"},
    {"record longer than its properties", Set(93, 91),
     "design record: record length at offset 93: is 91 but the record ends after 90 bytes"},
    {"record past its block", [](Bytes& b) { Put32(b, 93, 0x7FFFFFFF); },
     "design record: record length at offset 93: is 2147483647 but 315 bytes are left in the control block"},
    {"record shorter than its properties", Set(184, 32),
     "design record: property code at offset 216: runs past the end of the record"},
    {"record shorter than a record", Set(184, 3),
     "design record: record length at offset 184: is 3, shorter than any record"},
    {"window identifier", Set(97, 1),
     "design record: control identifier at offset 97: is 1, expected 0 for the window"},
    {"control identifier", Set(188, 2), "design record: control identifier at offset 188: is 2, expected 1"},
    {"name terminator", Set(107, 'x'), "design record: name terminator at offset 107: is not zero"},
    {"name not ASCII", Set(100, 0xC3),
     "design record: name at offset 100: holds 0xC3, which is not an ASCII letter"},
    {"unknown kind", Set(108, 7), "design record: control kind at offset 108: 0x07 is not a known kind"},
    {"unknown property code", Set(109, 0x02),
     "design record: property code at offset 109: 0x02 is not a property of a window"},
    {"code of another kind", Set(212, 0x11),
     "design record: property code at offset 212: 0x11 is not a property of a text box"},
    {"codes not rising", Set(212, 0x12),
     "design record: property code at offset 212: 0x12 does not rise above 0x12"},
    {"caption without terminator", Set(143, 'x'),
     "design record: caption at offset 143: has no zero terminator"},
    {"caption past its record", Set(111, 0x01),
     "design record: caption at offset 112: runs past the end of the record"},
    {"start-up position", Set(181, 9), "design record: start-up position at offset 181: is 9, not 0 to 3"},
    {"multi-line", Set(213, 1), "design record: multi-line at offset 213: is 0x01, neither 0x00 nor 0xFF"},
    {"scroll bars", Set(215, 4), "design record: scroll bars at offset 215: is 4, not 0 to 3"},
    {"separator after the window", Set(183, 3), "design record: separator at offset 183: is 0x03, expected 0x01"},
    {"separator between controls", Set(217, 5),
     "design record: separator at offset 217: is 0x05, expected 0x03 or 0x02"},
    {"controls end early", Set(217, 2), "design record: block end at offset 218: is 0x29, expected 0x04"},
    {"block end", Set(407, 5), "design record: block end at offset 407: is 0x05, expected 0x04"},
    {"window among the controls", Set(199, 13),
     "design record: property code at offset 200: 0x04 is not a property of a window"},
    {"label as the window", Set(108, 1),
     "design record: property code at offset 144: 0x19 is not a property of a label"},
    {"duplicate name", Set(364, '2'), "design record: name at offset 359: \"Label2\" is taken"},
};

void ReadDesign(std::span<const std::uint8_t> bytes) { const host::DesignRecord record(bytes); }

TEST(DesignRecordReader, RejectsEachCorruptionWithItsMessage) {
  testing::ExpectEachRejected(kRecord, kCorruptions, ReadDesign);
}

TEST(DesignRecordReader, RejectsTheRecordCutShortAtEveryLength) {
  testing::ExpectEveryCutRejected(kRecord, ReadDesign);
}

}  // namespace
}  // namespace window
