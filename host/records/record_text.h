#pragma once
#include <string>
#include <string_view>

#include "host/records/byte_reader.h"

namespace host {

/// A zero-terminated ASCII string at the reader's offset; the reader moves
/// past its terminator. The view points into the record.
std::string_view ReadTerminated(ByteReader& reader, std::string_view field);

/// A 2-byte length, that many ASCII bytes and a zero.
std::string_view ReadCounted(ByteReader& reader, std::string_view field);

/// `count` ASCII bytes, none of them zero.
std::string_view ReadAscii(ByteReader& reader, std::size_t count, std::string_view field);

/// "0x2A": how a code appears in messages.
std::string HexByte(std::uint8_t byte);

}  // namespace host
