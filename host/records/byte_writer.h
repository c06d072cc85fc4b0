#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

#include "host/runtime/guid.h"

namespace host {

/// Builds a record at compile time: little-endian integers written byte by
/// byte into a fixed buffer, the mirror of ByteReader. Every misuse throws,
/// which inside a constant expression stops the build.
template <std::size_t Capacity>
class ByteWriter {
 public:
  constexpr void U8(std::uint8_t value) {
    if (size_ == Capacity) throw std::length_error("record buffer full");
    bytes_[size_++] = value;
  }
  constexpr void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  constexpr void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  constexpr void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
  }
  constexpr void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  constexpr void WriteGuid(const Guid& guid) {
    U32(guid.data1);
    U16(guid.data2);
    U16(guid.data3);
    for (std::uint8_t byte : guid.data4) U8(byte);
  }
  constexpr void Bytes(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) U8(byte);
  }
  /// ASCII text without terminator; anything else is refused.
  constexpr void Ascii(std::string_view text) {
    for (char c : text) {
      const auto byte = static_cast<std::uint8_t>(c);
      if (byte == 0 || byte > 0x7F) throw std::invalid_argument("text is not ASCII without zeros");
      U8(byte);
    }
  }
  constexpr void Zeros(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) U8(0);
  }
  constexpr void Align(std::size_t alignment) {
    while (size_ % alignment != 0) U8(0);
  }

  /// Writes a zero U32 to be filled in later by Patch; returns its place.
  constexpr std::size_t Placeholder() {
    const std::size_t at = size_;
    U32(0);
    return at;
  }
  /// Fills in four bytes written earlier, for a field that refers forward.
  constexpr void Patch(std::size_t at, std::uint32_t value) {
    if (at > size_ || size_ - at < 4) throw std::out_of_range("patch outside what was written");
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  /// Patches `at` with the current offset.
  constexpr void PatchHere(std::size_t at) { Patch(at, static_cast<std::uint32_t>(size_)); }

  constexpr std::size_t Offset() const { return size_; }
  constexpr std::uint8_t operator[](std::size_t at) const { return bytes_.at(at); }

 private:
  std::array<std::uint8_t, Capacity> bytes_{};
  std::size_t size_ = 0;
};

/// The bytes a writer wrote, as an array of exactly their size.
template <std::size_t Size, std::size_t Capacity>
constexpr std::array<std::uint8_t, Size> Trimmed(const ByteWriter<Capacity>& writer) {
  if (writer.Offset() != Size) throw std::logic_error("size differs from what was written");
  std::array<std::uint8_t, Size> bytes{};
  for (std::size_t i = 0; i < Size; ++i) bytes[i] = writer[i];
  return bytes;
}

}  // namespace host
