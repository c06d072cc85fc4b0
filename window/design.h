#pragma once
#include <array>

#include "host/design/design.h"
#include "window/identifiers.h"
#include "window/names.h"

namespace window {

/// The design of JSONfrm: the window and its five controls in creation order.
/// Only the design record is written from it; the program builds its window
/// from that record.
inline constexpr std::array<host::ControlDesign, 5> kJSONfrmControls{{
    {.id = 1, .name = kOutputs, .kind = host::ControlKind::kTextBox, .caption = "",
     .rect = {960, 1320, 5525, 9375}, .tab_index = 2, .multi_line = true,
     .scroll_bars = host::ScrollBars::kBoth},
    {.id = 2, .name = kCommand1, .kind = host::ControlKind::kCommandButton, .caption = "Convert",
     .rect = {120, 360, 735, 375}, .tab_index = 1},
    {.id = 3, .name = kInputs, .kind = host::ControlKind::kTextBox, .caption = "",
     .rect = {960, 360, 5535, 615}, .tab_index = 0, .multi_line = true,
     .scroll_bars = host::ScrollBars::kBoth},
    {.id = 4, .name = kLabel2, .kind = host::ControlKind::kLabel,
     .caption = "JSON converted to readable", .rect = {1200, 1080, 2535, 375}, .tab_index = 4},
    {.id = 5, .name = kLabel1, .kind = host::ControlKind::kLabel,
     .caption = "JSON string - paste in", .rect = {1200, 0, 2535, 375}, .tab_index = 3},
}};

inline constexpr host::WindowDesign kJSONfrmDesign{
    .name = kJSONfrm,
    .object_id = kJSONfrmObjectId,
    .interface_id = kJSONfrmInterface,
    .caption = "JSON to readable text converter",
    .link_topic = "Form1",
    .client = {120, 465, 6615, 10890},
    .start_up_position = host::StartUpPosition::kDefault,
    .controls = kJSONfrmControls,
};

}  // namespace window
