#pragma once
// The project image: the project header and the records it leads to.
//
// Header (104 bytes, then 16 zero bytes, then its four strings at 120):
// the offsets below. Each "address" field holds the offset of a record from
// the start of the header: a 64-bit process cannot keep its addresses in
// four bytes, and offsets keep the image position-independent.
//
// Records behind it, all integers little-endian, all names zero-terminated
// ASCII reached by address:
//   project information: u32 version (500), u32 address of the object table
//   object table:        u32 object count, then per object (68 bytes):
//                          u32 name, u32 locale, u32 second locale,
//                          u32 procedure count, u32 procedure table,
//                          u32 name-table slot count, u32 name table,
//                          guid object interface, guid window interface,
//                          u32 control count, u32 control table
//   procedure table:     u32 name of each procedure, in procedure order
//   name table:          u32 name, or kNoName for an empty slot
//   control table:       per control: u32 name, u32 event count, u32 event table
//   event table:         u32 per event number: a procedure index, or kNoHandler
//   window table:        per window (28 bytes): guid object identifier,
//                          u32 object index, u32 design record, u32 its length
//   registration data:   u32 objects to register (0), u32 project name,
//                          u32 help directory, guid type library,
//                          u16 major and u16 minor version, u32 locale
//   then the names, then the design records.
#include <array>
#include <cstddef>
#include <cstdint>

#include "host/runtime/guid.h"

namespace host::project {

/// The two interfaces an object's entry in the object table names: its own
/// members', and its window's properties'.
struct InterfaceIds {
  Guid object;
  Guid window;
};

/// The project header signature, stored as these four characters.
inline constexpr std::array<std::uint8_t, 4> kSignature{'V', 'B', '5', '!'};

inline constexpr std::size_t kHeaderLength = 104;
inline constexpr std::size_t kReservedLength = 16;
inline constexpr std::size_t kStringsOffset = kHeaderLength + kReservedLength;
inline constexpr std::size_t kLibraryNameWidth = 14;

/// Offsets of the header fields that errors found after reading them point
/// back to; the header itself is read in order.
namespace field {
inline constexpr std::size_t kSignature = 0;
inline constexpr std::size_t kStartUpProcedure = 44;
inline constexpr std::size_t kControlKinds = 52;
inline constexpr std::size_t kThreadCount = 64;
inline constexpr std::size_t kWindowCount = 68;
}  // namespace field

inline constexpr std::uint32_t kSingleThreaded = 8;
inline constexpr std::uint32_t kThreadCount = 1;
inline constexpr std::uint32_t kProjectInfoVersion = 500;
inline constexpr std::uint32_t kNoHandler = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoName = 0xFFFFFFFF;
/// Every event table has a slot for each event number the host raises.
inline constexpr std::uint32_t kEventTableLength = 8;

inline constexpr std::size_t kProjectInfoLength = 8;
inline constexpr std::size_t kObjectEntryLength = 68;
inline constexpr std::size_t kControlEntryLength = 12;
inline constexpr std::size_t kWindowEntryLength = 28;
inline constexpr std::size_t kRegistrationLength = 36;

}  // namespace host::project
