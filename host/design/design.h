#pragma once
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "host/runtime/guid.h"

namespace host {

/// Control kinds, numbered as the design record numbers them.
enum class ControlKind : std::uint8_t { kLabel = 1, kTextBox = 2, kCommandButton = 4, kWindow = 13 };

/// Where a new window is first placed; 3 lets the window system choose.
enum class StartUpPosition : std::uint8_t { kManual = 0, kOwner = 1, kScreen = 2, kDefault = 3 };

struct TwipRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend constexpr bool operator==(const TwipRect&, const TwipRect&) = default;
};

enum class ScrollBars : std::uint8_t { kNone = 0, kHorizontal = 1, kVertical = 2, kBoth = 3 };

/// One control as designed. Strings view static data (or the record they
/// were read from).
struct ControlDesign {
  std::uint8_t id = 0;
  std::string_view name{};
  ControlKind kind = ControlKind::kLabel;
  std::string_view caption{};
  TwipRect rect{};
  std::int16_t tab_index = 0;
  bool multi_line = false;
  ScrollBars scroll_bars = ScrollBars::kNone;
  friend constexpr bool operator==(const ControlDesign&, const ControlDesign&) = default;
};

/// A window as designed: its own properties and its controls in creation order.
struct WindowDesign {
  std::string_view name{};
  Guid object_id{};     // the window object's own identifier
  Guid interface_id{};  // the interface its properties are reached through
  std::string_view caption{};
  std::string_view link_topic{};
  TwipRect client{};
  StartUpPosition start_up_position = StartUpPosition::kDefault;
  // Two window properties every record stores (codes 0x19 and 0x23). Nothing
  // here depends on them; they are kept so that a record reads back as written.
  std::uint32_t property_19 = 0x00420001;
  std::uint32_t property_23 = 0xFFFFFFFF;
  std::span<const ControlDesign> controls{};

  friend constexpr bool operator==(const WindowDesign& a, const WindowDesign& b) {
    return a.name == b.name && a.object_id == b.object_id && a.interface_id == b.interface_id &&
           a.caption == b.caption && a.link_topic == b.link_topic && a.client == b.client &&
           a.start_up_position == b.start_up_position && a.property_19 == b.property_19 &&
           a.property_23 == b.property_23 && std::ranges::equal(a.controls, b.controls);
  }
};

}  // namespace host
