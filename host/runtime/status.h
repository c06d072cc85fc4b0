#pragma once
#include <cstdint>

namespace host {

/// What every call on a window or control returns. Codes follow the usual
/// convention of the platform: negative means failure.
struct Status {
  std::int32_t code = 0;

  constexpr bool Failed() const { return code < 0; }
  friend constexpr bool operator==(Status, Status) = default;
};

inline constexpr Status kOk{0};
inline constexpr Status kOutOfMemory{static_cast<std::int32_t>(0x8007000Eu)};
inline constexpr Status kInvalidArgument{static_cast<std::int32_t>(0x80070057u)};
inline constexpr Status kUnexpected{static_cast<std::int32_t>(0x8000FFFFu)};

}  // namespace host
