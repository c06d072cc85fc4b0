#pragma once
// JSONfrm's identifiers as the records are written with them. The form reads
// the two interfaces back from the project image; only the text box's, which
// no record holds, is used from here at run time.
#include "host/runtime/guid.h"

namespace window {

/// The window object's own identifier.
inline constexpr host::Guid kJSONfrmObjectId{
    0xAA99E2F8, 0xC719, 0x4F1F, {0xB1, 0xF7, 0x57, 0xA6, 0xD6, 0x32, 0x42, 0x07}};

/// The window's interface: named when a property access on JSONfrm fails.
inline constexpr host::Guid kJSONfrmInterface{
    0xD2EAC61E, 0xE94C, 0x4313, {0xB6, 0xA1, 0x7A, 0x79, 0x32, 0x25, 0x32, 0x86}};

/// Named when the call of JSONFormat fails.
inline constexpr host::Guid kJSONFormatInterface{
    0xC3488A7A, 0x5A46, 0x44B1, {0x9C, 0x76, 0xD8, 0x16, 0x48, 0xD2, 0xCF, 0x0F}};

/// The project's type library.
inline constexpr host::Guid kTypeLibrary{
    0x4466772B, 0xDD01, 0x4CA0, {0xA0, 0x6D, 0xEB, 0x61, 0x66, 0xE9, 0x45, 0xB3}};

/// The text box control's interface: named when a property access on a
/// text box fails.
inline constexpr host::Guid kTextBoxInterface{
    0x5B0E31C4, 0x2A77, 0x4D6E, {0x93, 0x1F, 0x6C, 0x0B, 0x8E, 0x54, 0xA2, 0x19}};

}  // namespace window
