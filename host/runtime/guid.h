#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace host {

/// A 16-byte identifier. Stored in records in the usual mixed-endian layout:
/// the first three fields little-endian, the last eight bytes as they stand.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend constexpr bool operator==(const Guid&, const Guid&) = default;

  /// Registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
  std::string ToString() const;
};

}  // namespace host
