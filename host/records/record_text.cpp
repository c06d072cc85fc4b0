#include "host/records/record_text.h"

#include <algorithm>
#include <cstdio>

namespace host {

std::string_view ReadAscii(ByteReader& reader, std::size_t count, std::string_view field) {
  const std::size_t start = reader.Offset();
  const std::span<const std::uint8_t> bytes = reader.Bytes(count, field);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == 0 || bytes[i] > 0x7F) {
      reader.FailAt(start + i, field, "holds " + HexByte(bytes[i]) + ", which is not an ASCII letter");
    }
  }
  // Bytes and chars share their representation; a view needs no copy.
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string_view ReadTerminated(ByteReader& reader, std::string_view field) {
  const std::span<const std::uint8_t> rest = reader.All().subspan(reader.Offset());
  const auto zero = std::find(rest.begin(), rest.end(), std::uint8_t{0});
  if (zero == rest.end()) reader.Fail(field, "has no zero terminator");
  const std::string_view text =
      ReadAscii(reader, static_cast<std::size_t>(zero - rest.begin()), field);
  reader.U8(field);
  return text;
}

std::string_view ReadCounted(ByteReader& reader, std::string_view field) {
  const std::size_t length = reader.U16(field);
  const std::string_view text = ReadAscii(reader, length, field);
  const std::size_t end = reader.Offset();
  if (reader.Remaining() == 0 || reader.U8(field) != 0) {
    reader.FailAt(end, field, "has no zero terminator");
  }
  return text;
}

std::string HexByte(std::uint8_t byte) {
  char text[5];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace host
