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

  /// Reads `expected.size()` bytes; fails with `problem` unless they are `expected`.
  void ExpectBytes(std::span<const std::uint8_t> expected, std::string_view field, std::string_view problem);
  /// Reads `count` bytes; fails at the first one that is not zero.
  void ExpectZeros(std::size_t count, std::string_view field);
  /// Reads an integer as wide as `T`; fails unless it is `expected`. A
  /// `meaning`, where given, follows the expected value in brackets.
  template <class T>
  T Expect(T expected, std::string_view field, std::string_view meaning = {});

  /// Throws a RecordError naming `field` at the current offset.
  [[noreturn]] void Fail(std::string_view field, std::string_view problem) const;
  [[noreturn]] void FailAt(std::size_t offset, std::string_view field, std::string_view problem) const;

 private:
  const std::uint8_t* Take(std::size_t count, std::string_view field);
  [[noreturn]] void Unexpected(std::size_t at, std::string_view field, std::uint64_t read, std::uint64_t expected,
                               std::string_view meaning) const;

  std::span<const std::uint8_t> bytes_;
  std::string_view record_;
  std::size_t offset_ = 0;
};

template <class T>
T ByteReader::Expect(T expected, std::string_view field, std::string_view meaning) {
  static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
  const std::size_t at = offset_;
  T read{};
  if constexpr (sizeof(T) == 1) {
    read = static_cast<T>(U8(field));
  } else if constexpr (sizeof(T) == 2) {
    read = static_cast<T>(U16(field));
  } else {
    read = static_cast<T>(U32(field));
  }
  if (read != expected) Unexpected(at, field, read, expected, meaning);
  return read;
}

}  // namespace host
