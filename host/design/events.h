#pragma once
#include <cstdint>

namespace host {

/// Event numbers as the event tables number them.
enum class Event : std::uint8_t { kClick = 0, kLoad = 6, kResize = 7 };

}  // namespace host
