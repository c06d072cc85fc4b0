#pragma once
// The layout of a window's design record: a header naming the window, then
// a control block holding one record per control, the window's first.
#include <array>
#include <cstddef>
#include <cstdint>

#include "host/design/design.h"
#include "host/runtime/guid.h"

namespace host::design_record {

inline constexpr std::array<std::uint8_t, 4> kSignature{0xFF, 0xCC, 0x31, 0x00};
inline constexpr std::uint8_t kFormatVersion = 5;
/// The platform's identifier of the window kind, the only kind of top-level
/// object a design record can describe.
inline constexpr Guid kWindowKind{
    0x33AD4F3A, 0x6699, 0x11CF, {0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}};

inline constexpr std::size_t kWindowKindOffset = 37;
inline constexpr std::size_t kReservedLength = 36;
/// The block length counts from its own field to the end of the record.
inline constexpr std::size_t kBlockLengthOffset = 89;
inline constexpr std::size_t kHeaderLength = 93;

/// Bytes around and between the control records.
enum class Marker : std::uint8_t {
  kControlsBegin = 0x01,  // after the window's record
  kControlsEnd = 0x02,    // after the last control's record
  kNextControl = 0x03,    // between two control records
  kBlockEnd = 0x04,
};
inline constexpr std::uint8_t kPropertiesEnd = 0xFF;
inline constexpr std::uint8_t kWindowId = 0;

/// Length field, identifier, name length and the zero after the name, kind:
/// a record's fixed part besides its name.
inline constexpr std::size_t kRecordFixedLength = 4 + 1 + 2 + 1 + 1;

/// What a property code stands for; the same property has different codes
/// in different kinds of control.
enum class Property : std::uint8_t {
  kCaption,          // 2-byte length, ASCII text, zero
  kProperty19,       // 4 bytes kept as they stand
  kProperty23,       // 4 bytes kept as they stand
  kLinkTopic,        // as the caption
  kClientRect,       // four 4-byte signed twips
  kStartUpPosition,  // 1 byte
  kRect,             // four 2-byte signed twips
  kTabIndex,         // 2-byte signed
  kMultiLine,        // 1 byte: FF on, 00 off
  kScrollBars,       // 1 byte, 0 to 3
};

struct PropertyCode {
  ControlKind kind;
  std::uint8_t code;
  Property property;
};

/// Every property a record may store, by kind, codes rising within a kind.
/// The writer stores them in this order; the reader knows no others.
inline constexpr std::array<PropertyCode, 16> kPropertyCodes{{
    {ControlKind::kWindow, 0x01, Property::kCaption},
    {ControlKind::kWindow, 0x19, Property::kProperty19},
    {ControlKind::kWindow, 0x23, Property::kProperty23},
    {ControlKind::kWindow, 0x24, Property::kLinkTopic},
    {ControlKind::kWindow, 0x35, Property::kClientRect},
    {ControlKind::kWindow, 0x46, Property::kStartUpPosition},
    {ControlKind::kTextBox, 0x04, Property::kRect},
    {ControlKind::kTextBox, 0x12, Property::kTabIndex},
    {ControlKind::kTextBox, 0x17, Property::kMultiLine},
    {ControlKind::kTextBox, 0x18, Property::kScrollBars},
    {ControlKind::kCommandButton, 0x01, Property::kCaption},
    {ControlKind::kCommandButton, 0x04, Property::kRect},
    {ControlKind::kCommandButton, 0x11, Property::kTabIndex},
    {ControlKind::kLabel, 0x01, Property::kCaption},
    {ControlKind::kLabel, 0x05, Property::kRect},
    {ControlKind::kLabel, 0x12, Property::kTabIndex},
}};

constexpr bool CodesRiseWithinEachKind() {
  for (std::size_t i = 1; i < kPropertyCodes.size(); ++i) {
    if (kPropertyCodes[i].kind == kPropertyCodes[i - 1].kind &&
        kPropertyCodes[i].code <= kPropertyCodes[i - 1].code) {
      return false;
    }
  }
  return true;
}
static_assert(CodesRiseWithinEachKind());

constexpr bool IsKnownKind(std::uint8_t kind) {
  switch (static_cast<ControlKind>(kind)) {
    case ControlKind::kLabel:
    case ControlKind::kTextBox:
    case ControlKind::kCommandButton:
    case ControlKind::kWindow:
      return true;
  }
  return false;
}

/// The property `code` stands for in a control of `kind`, or null.
constexpr const PropertyCode* FindProperty(ControlKind kind, std::uint8_t code) {
  for (const PropertyCode& entry : kPropertyCodes) {
    if (entry.kind == kind && entry.code == code) return &entry;
  }
  return nullptr;
}

constexpr const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return "label";
    case ControlKind::kTextBox:
      return "text box";
    case ControlKind::kCommandButton:
      return "push button";
    case ControlKind::kWindow:
      return "window";
  }
  return "control";
}

}  // namespace host::design_record
