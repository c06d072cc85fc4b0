#include "host/records/byte_reader.h"

#include <algorithm>

namespace host {

void ByteReader::FailAt(std::size_t offset, std::string_view field, std::string_view problem) const {
  throw RecordError(std::string(record_) + ": " + std::string(field) + " at offset " +
                    std::to_string(offset) + ": " + std::string(problem));
}

void ByteReader::Fail(std::string_view field, std::string_view problem) const {
  FailAt(offset_, field, problem);
}

const std::uint8_t* ByteReader::Take(std::size_t count, std::string_view field) {
  if (count > bytes_.size() - offset_) Fail(field, "runs past the end of the record");
  const std::uint8_t* at = bytes_.data() + offset_;
  offset_ += count;
  return at;
}

std::uint8_t ByteReader::U8(std::string_view field) { return *Take(1, field); }

std::uint16_t ByteReader::U16(std::string_view field) {
  const std::uint8_t* at = Take(2, field);
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::int16_t ByteReader::I16(std::string_view field) {
  return static_cast<std::int16_t>(U16(field));
}

std::uint32_t ByteReader::U32(std::string_view field) {
  const std::uint8_t* at = Take(4, field);
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::int32_t ByteReader::I32(std::string_view field) {
  return static_cast<std::int32_t>(U32(field));
}

Guid ByteReader::ReadGuid(std::string_view field) {
  if (Remaining() < 16) Fail(field, "runs past the end of the record");
  Guid guid;
  guid.data1 = U32(field);
  guid.data2 = U16(field);
  guid.data3 = U16(field);
  const std::uint8_t* tail = Take(8, field);
  for (std::size_t i = 0; i < guid.data4.size(); ++i) guid.data4[i] = tail[i];
  return guid;
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count, std::string_view field) {
  const std::uint8_t* at = Take(count, field);
  return {at, count};
}

void ByteReader::ExpectBytes(std::span<const std::uint8_t> expected, std::string_view field,
                             std::string_view problem) {
  const std::size_t at = offset_;
  if (!std::ranges::equal(Bytes(expected.size(), field), expected)) FailAt(at, field, problem);
}

void ByteReader::ExpectZeros(std::size_t count, std::string_view field) {
  const std::size_t at = offset_;
  const std::span<const std::uint8_t> bytes = Bytes(count, field);
  if (const auto nonzero = std::ranges::find_if(bytes, [](std::uint8_t b) { return b != 0; });
      nonzero != bytes.end()) {
    FailAt(at + static_cast<std::size_t>(nonzero - bytes.begin()), field, "are not zero");
  }
}

void ByteReader::Unexpected(std::size_t at, std::string_view field, std::uint64_t read, std::uint64_t expected,
                            std::string_view meaning) const {
  std::string problem = "is " + std::to_string(read) + ", expected " + std::to_string(expected);
  if (!meaning.empty()) problem += " (" + std::string(meaning) + ")";
  FailAt(at, field, problem);
}

void ByteReader::Seek(std::size_t offset, std::string_view field) {
  if (offset > bytes_.size()) FailAt(offset, field, "points outside the record");
  offset_ = offset;
}

}  // namespace host
