#pragma once
// What both fuzz targets demand of a design read from their input: every
// text it holds views that input. A text outside it stops the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/design/design.h"

namespace fuzz {

inline void ExpectInside(std::string_view text, const std::uint8_t* data, std::size_t size) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
  if (!text.empty() && (first < data || first + text.size() > data + size)) std::abort();
}

inline void ExpectInside(const host::WindowDesign& design, const std::uint8_t* data, std::size_t size) {
  for (std::string_view text : {design.name, design.caption, design.link_topic}) ExpectInside(text, data, size);
  for (const host::ControlDesign& control : design.controls) {
    ExpectInside(control.name, data, size);
    ExpectInside(control.caption, data, size);
  }
}

}  // namespace fuzz
