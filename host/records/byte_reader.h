#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/runtime/guid.h"

namespace host {

/// A malformed record. The message names the record, the field and the
/// offset where it went wrong.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The one gate through which record bytes are read: little-endian
/// integers assembled byte by byte, every read checked against what remains.
class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, std::string_view record)
      : bytes_(bytes), record_(record) {}

  std::uint8_t U8(std::string_view field);
  std::uint16_t U16(std::string_view field);
  std::int16_t I16(std::string_view field);
  std::uint32_t U32(std::string_view field);
  std::int32_t I32(std::string_view field);
  Guid ReadGuid(std::string_view field);
  /// The next `count` bytes, as a view into the record.
  std::span<const std::uint8_t> Bytes(std::size_t count, std::string_view field);
  /// Moves to `offset` from the start; the end itself is a valid place.
  void Seek(std::size_t offset, std::string_view field);

  std::size_t Offset() const { return offset_; }
  std::size_t Remaining() const { return bytes_.size() - offset_; }
  std::span<const std::uint8_t> All() const { return bytes_; }
  std::string_view Record() const { return record_; }

  /// Throws a RecordError naming `field` at the current offset.
  [[noreturn]] void Fail(std::string_view field, std::string_view problem) const;
  [[noreturn]] void FailAt(std::size_t offset, std::string_view field, std::string_view problem) const;

 private:
  const std::uint8_t* Take(std::size_t count, std::string_view field);

  std::span<const std::uint8_t> bytes_;
  std::string_view record_;
  std::size_t offset_ = 0;
};

}  // namespace host
