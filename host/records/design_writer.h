#pragma once
// Writes a window's design record at compile time from its design table.
// Only the properties of kPropertyCodes are stored, in that order; a control
// property the platform has a default for (multi-line off, no scroll bars)
// is left out when it has that default.
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "host/records/byte_writer.h"
#include "host/design/design.h"
#include "host/records/design_format.h"

namespace host::design_record {
namespace detail {

template <std::size_t C>
constexpr void WriteCounted(ByteWriter<C>& out, std::string_view text) {
  if (text.size() > std::numeric_limits<std::uint16_t>::max()) throw std::length_error("text too long");
  out.U16(static_cast<std::uint16_t>(text.size()));
  out.Ascii(text);
  out.U8(0);
}

constexpr std::int16_t Twips16(std::int32_t twips) {
  if (twips < std::numeric_limits<std::int16_t>::min() ||
      twips > std::numeric_limits<std::int16_t>::max()) {
    throw std::out_of_range("a control's position does not fit in 2 bytes");
  }
  return static_cast<std::int16_t>(twips);
}

template <std::size_t C>
constexpr void WriteWindowProperty(ByteWriter<C>& out, const WindowDesign& window, Property property) {
  switch (property) {
    case Property::kCaption:
      return WriteCounted(out, window.caption);
    case Property::kProperty19:
      return out.U32(window.property_19);
    case Property::kProperty23:
      return out.U32(window.property_23);
    case Property::kLinkTopic:
      return WriteCounted(out, window.link_topic);
    case Property::kClientRect:
      out.I32(window.client.left);
      out.I32(window.client.top);
      out.I32(window.client.width);
      return out.I32(window.client.height);
    case Property::kStartUpPosition:
      return out.U8(static_cast<std::uint8_t>(window.start_up_position));
    default:
      throw std::logic_error("not a window property");
  }
}

constexpr bool IsStored(const ControlDesign& control, Property property) {
  switch (property) {
    case Property::kMultiLine:
      return control.multi_line;
    case Property::kScrollBars:
      return control.scroll_bars != ScrollBars::kNone;
    default:
      return true;
  }
}

template <std::size_t C>
constexpr void WriteControlProperty(ByteWriter<C>& out, const ControlDesign& control, Property property) {
  switch (property) {
    case Property::kCaption:
      return WriteCounted(out, control.caption);
    case Property::kRect:
      out.I16(Twips16(control.rect.left));
      out.I16(Twips16(control.rect.top));
      out.I16(Twips16(control.rect.width));
      return out.I16(Twips16(control.rect.height));
    case Property::kTabIndex:
      return out.I16(control.tab_index);
    case Property::kMultiLine:
      return out.U8(0xFF);
    case Property::kScrollBars:
      return out.U8(static_cast<std::uint8_t>(control.scroll_bars));
    default:
      throw std::logic_error("not a control property");
  }
}

// One record: its length is filled in once its closing FF is written.
template <std::size_t C, class WriteProperties>
constexpr void WriteRecord(ByteWriter<C>& out, std::uint8_t id, std::string_view name,
                           ControlKind kind, WriteProperties write_properties) {
  if (name.empty() || name.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::length_error("a control needs a name of up to 65535 characters");
  }
  const std::size_t start = out.Placeholder();
  out.U8(id);
  out.U16(static_cast<std::uint16_t>(name.size()));
  out.Ascii(name);
  out.U8(0);
  out.U8(static_cast<std::uint8_t>(kind));
  for (const PropertyCode& entry : kPropertyCodes) {
    if (entry.kind == kind) write_properties(entry);
  }
  out.U8(kPropertiesEnd);
  out.Patch(start, static_cast<std::uint32_t>(out.Offset() - start));
}

template <std::size_t C>
constexpr void WriteWindowRecord(ByteWriter<C>& out, const WindowDesign& window) {
  WriteRecord(out, kWindowId, window.name, ControlKind::kWindow, [&](const PropertyCode& entry) {
    out.U8(entry.code);
    WriteWindowProperty(out, window, entry.property);
  });
}

template <std::size_t C>
constexpr void WriteControlRecord(ByteWriter<C>& out, const ControlDesign& control) {
  if (control.kind == ControlKind::kWindow) throw std::invalid_argument("a window inside a window");
  if (control.kind == ControlKind::kTextBox && !control.caption.empty()) {
    throw std::invalid_argument("a text box has no caption to store");
  }
  WriteRecord(out, control.id, control.name, control.kind, [&](const PropertyCode& entry) {
    if (!IsStored(control, entry.property)) return;
    out.U8(entry.code);
    WriteControlProperty(out, control, entry.property);
  });
}

}  // namespace detail

/// The design record of `window`. Controls keep their order, and their
/// identifiers must count up from 1 in that order.
template <std::size_t Capacity>
constexpr ByteWriter<Capacity> Encode(const WindowDesign& window) {
  if (window.controls.empty()) throw std::invalid_argument("a design record holds at least one control");
  ByteWriter<Capacity> out;
  out.Bytes(kSignature);
  out.U8(kFormatVersion);
  out.WriteGuid(window.object_id);
  out.WriteGuid(window.interface_id);
  out.WriteGuid(kWindowKind);
  out.Zeros(kReservedLength);
  const std::size_t block_length = out.Placeholder();
  detail::WriteWindowRecord(out, window);
  out.U8(static_cast<std::uint8_t>(Marker::kControlsBegin));
  std::uint8_t id = kWindowId;
  for (const ControlDesign& control : window.controls) {
    if (control.id != ++id) throw std::invalid_argument("control identifiers must count up from 1");
    if (id > 1) out.U8(static_cast<std::uint8_t>(Marker::kNextControl));
    detail::WriteControlRecord(out, control);
  }
  out.U8(static_cast<std::uint8_t>(Marker::kControlsEnd));
  out.U8(static_cast<std::uint8_t>(Marker::kBlockEnd));
  out.Patch(block_length, static_cast<std::uint32_t>(out.Offset() - kBlockLengthOffset));
  return out;
}

/// Length of one record as Encode writes it.
inline constexpr std::size_t kMaxRecordLength = 1024;
constexpr std::size_t RecordLength(const WindowDesign& window) {
  ByteWriter<kMaxRecordLength> out;
  detail::WriteWindowRecord(out, window);
  return out.Offset();
}
constexpr std::size_t RecordLength(const ControlDesign& control) {
  ByteWriter<kMaxRecordLength> out;
  detail::WriteControlRecord(out, control);
  return out.Offset();
}

}  // namespace host::design_record
