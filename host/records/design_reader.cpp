#include "host/records/design_reader.h"

#include <algorithm>
#include <string>

#include "host/records/byte_reader.h"
#include "host/records/design_format.h"
#include "host/records/record_text.h"

namespace host {
namespace {

using namespace design_record;

constexpr std::string_view kRecordName = "design record";
constexpr std::uint8_t kMultiLineOn = 0xFF;
constexpr std::uint8_t kMultiLineOff = 0x00;

// One control record as read: the window's properties go to `window`, a
// control's to `control`; the name, identifier and kind to both.
struct Record {
  std::size_t start = 0;
  ControlKind kind = ControlKind::kLabel;
  ControlDesign control;
  WindowDesign window;
};

std::uint8_t ReadEnumByte(ByteReader& in, std::uint8_t highest, std::string_view field) {
  const std::size_t at = in.Offset();
  const std::uint8_t value = in.U8(field);
  if (value > highest) {
    in.FailAt(at, field, "is " + std::to_string(value) + ", not 0 to " + std::to_string(highest));
  }
  return value;
}

void ReadWindowValue(ByteReader& in, Property property, WindowDesign& window) {
  switch (property) {
    case Property::kCaption:
      window.caption = ReadCounted(in, "caption");
      return;
    case Property::kProperty19:
      window.property_19 = in.U32("property 0x19");
      return;
    case Property::kProperty23:
      window.property_23 = in.U32("property 0x23");
      return;
    case Property::kLinkTopic:
      window.link_topic = ReadCounted(in, "data-exchange topic");
      return;
    case Property::kClientRect:
      window.client.left = in.I32("client area");
      window.client.top = in.I32("client area");
      window.client.width = in.I32("client area");
      window.client.height = in.I32("client area");
      return;
    case Property::kStartUpPosition:
      window.start_up_position = static_cast<StartUpPosition>(
          ReadEnumByte(in, static_cast<std::uint8_t>(StartUpPosition::kDefault), "start-up position"));
      return;
    default:
      in.Fail("property", "belongs to no window");  // kPropertyCodes lists no such entry
  }
}

void ReadControlValue(ByteReader& in, Property property, ControlDesign& control) {
  switch (property) {
    case Property::kCaption:
      control.caption = ReadCounted(in, "caption");
      return;
    case Property::kRect:
      control.rect.left = in.I16("position and size");
      control.rect.top = in.I16("position and size");
      control.rect.width = in.I16("position and size");
      control.rect.height = in.I16("position and size");
      return;
    case Property::kTabIndex:
      control.tab_index = in.I16("tab position");
      return;
    case Property::kMultiLine: {
      const std::size_t at = in.Offset();
      const std::uint8_t value = in.U8("multi-line");
      if (value != kMultiLineOn && value != kMultiLineOff) {
        in.FailAt(at, "multi-line", "is " + HexByte(value) + ", neither 0x00 nor 0xFF");
      }
      control.multi_line = value == kMultiLineOn;
      return;
    }
    case Property::kScrollBars:
      control.scroll_bars = static_cast<ScrollBars>(
          ReadEnumByte(in, static_cast<std::uint8_t>(ScrollBars::kBoth), "scroll bars"));
      return;
    default:
      in.Fail("property", "belongs to no control");  // kPropertyCodes lists no such entry
  }
}

void ReadProperties(ByteReader& in, Record& record) {
  int previous = -1;
  for (;;) {
    const std::size_t at = in.Offset();
    const std::uint8_t code = in.U8("property code");
    if (code == kPropertiesEnd) return;
    const PropertyCode* entry = FindProperty(record.kind, code);
    if (entry == nullptr) {
      in.FailAt(at, "property code",
                HexByte(code) + " is not a property of a " + KindName(record.kind));
    }
    if (code <= previous) {
      in.FailAt(at, "property code",
                HexByte(code) + " does not rise above " + HexByte(static_cast<std::uint8_t>(previous)));
    }
    previous = code;
    if (record.kind == ControlKind::kWindow) {
      ReadWindowValue(in, entry->property, record.window);
    } else {
      ReadControlValue(in, entry->property, record.control);
    }
  }
}

// Reads the record at the block's offset; the record's own reader ends where
// its length says, so no property can run into the next record.
Record ReadRecord(ByteReader& block) {
  Record record;
  record.start = block.Offset();
  const std::uint32_t length = block.U32("record length");
  if (length < kRecordFixedLength + 1) {
    block.FailAt(record.start, "record length",
                 "is " + std::to_string(length) + ", shorter than any record");
  }
  if (length - 4 > block.Remaining()) {
    block.FailAt(record.start, "record length",
                 "is " + std::to_string(length) + " but " + std::to_string(block.Remaining() + 4) +
                     " bytes are left in the control block");
  }
  ByteReader in(block.All().first(record.start + length), kRecordName);
  in.Seek(block.Offset(), "record");
  record.control.id = in.U8("control identifier");
  const std::uint16_t name_length = in.U16("name length");
  record.control.name = ReadAscii(in, name_length, "name");
  const std::size_t terminator_at = in.Offset();
  if (in.U8("name terminator") != 0) in.FailAt(terminator_at, "name terminator", "is not zero");
  const std::size_t kind_at = in.Offset();
  const std::uint8_t kind = in.U8("control kind");
  if (!IsKnownKind(kind)) in.FailAt(kind_at, "control kind", HexByte(kind) + " is not a known kind");
  record.kind = static_cast<ControlKind>(kind);
  record.control.kind = record.kind;
  ReadProperties(in, record);
  if (in.Remaining() != 0) {
    block.FailAt(record.start, "record length",
                 "is " + std::to_string(length) + " but the record ends after " +
                     std::to_string(in.Offset() - record.start) + " bytes");
  }
  block.Seek(in.Offset(), "next record");
  return record;
}

void ExpectMarker(ByteReader& in, Marker marker, std::string_view field) {
  const std::size_t at = in.Offset();
  const std::uint8_t byte = in.U8(field);
  if (byte != static_cast<std::uint8_t>(marker)) {
    in.FailAt(at, field, "is " + HexByte(byte) + ", expected " + HexByte(static_cast<std::uint8_t>(marker)));
  }
}

}  // namespace

DesignRecord::DesignRecord(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes, kRecordName);
  in.ExpectBytes(kSignature, "signature", "is not FF CC 31 00");
  in.Expect(kFormatVersion, "format version");
  design_.object_id = in.ReadGuid("object identifier");
  design_.interface_id = in.ReadGuid("interface identifier");
  const Guid kind = in.ReadGuid("window kind identifier");
  if (kind != kWindowKind) {
    in.FailAt(kWindowKindOffset, "window kind identifier", "is " + kind.ToString() + ", not a window's");
  }
  in.ExpectZeros(kReservedLength, "reserved bytes");
  const std::uint32_t block_length = in.U32("control block length");
  if (block_length != bytes.size() - kBlockLengthOffset) {
    in.FailAt(kBlockLengthOffset, "control block length",
              "is " + std::to_string(block_length) + " but the block holds " +
                  std::to_string(bytes.size() - kBlockLengthOffset) + " bytes");
  }

  const Record window = ReadRecord(in);
  if (window.kind != ControlKind::kWindow) {
    in.FailAt(window.start, "window record",
              std::string("is a ") + KindName(window.kind) + "'s, expected the window's");
  }
  if (window.control.id != kWindowId) {
    in.FailAt(window.start + 4, "control identifier",
              "is " + std::to_string(window.control.id) + ", expected 0 for the window");
  }
  const WindowDesign& read = window.window;
  design_.name = window.control.name;
  design_.caption = read.caption;
  design_.link_topic = read.link_topic;
  design_.client = read.client;
  design_.start_up_position = read.start_up_position;
  design_.property_19 = read.property_19;
  design_.property_23 = read.property_23;

  ExpectMarker(in, Marker::kControlsBegin, "separator");
  for (;;) {
    const Record control = ReadRecord(in);
    if (control.kind == ControlKind::kWindow) {
      in.FailAt(control.start, "control kind", "a window cannot be one of a window's controls");
    }
    const std::size_t expected_id = controls_.size() + 1;
    if (control.control.id != expected_id) {
      in.FailAt(control.start + 4, "control identifier",
                "is " + std::to_string(control.control.id) + ", expected " + std::to_string(expected_id));
    }
    const auto same_name = [&](const ControlDesign& c) { return c.name == control.control.name; };
    if (control.control.name == design_.name || std::ranges::any_of(controls_, same_name)) {
      std::string problem(1, '"');
      problem.append(control.control.name).append("\" is taken");
      in.FailAt(control.start + 7, "name", problem);
    }
    controls_.push_back(control.control);
    const std::size_t at = in.Offset();
    const std::uint8_t separator = in.U8("separator");
    if (separator == static_cast<std::uint8_t>(Marker::kControlsEnd)) break;
    if (separator != static_cast<std::uint8_t>(Marker::kNextControl)) {
      in.FailAt(at, "separator", "is " + HexByte(separator) + ", expected 0x03 or 0x02");
    }
  }
  ExpectMarker(in, Marker::kBlockEnd, "block end");
  if (in.Remaining() != 0) {
    in.Fail("control block", std::to_string(in.Remaining()) + " bytes follow its end");
  }
  design_.controls = controls_;
}

}  // namespace host
