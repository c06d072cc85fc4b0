#pragma once
// Writing a string's units in place, without clearing them first.
#include <cstddef>

#include "host/runtime/string.h"

namespace host {

/// What Overwrite calls: `units` is the string's storage, `size` units long
/// with the old text at its front; returns how many units to keep (at most
/// `size`). Must not throw.
using OverwriteFill = std::size_t (*)(char16_t* units, std::size_t size, void* context);

/// Makes `text` `size` units long, lets `fill` write them, then cuts it to
/// the length `fill` returns. The units past the old length are not cleared
/// first, so a long result is written once rather than twice.
void Overwrite(String& text, std::size_t size, OverwriteFill fill, void* context);

template <class Fill>
void Overwrite(String& text, std::size_t size, Fill& fill) {
  Overwrite(
      text, size,
      [](char16_t* units, std::size_t length, void* context) -> std::size_t {
        return (*static_cast<Fill*>(context))(units, length);
      },
      &fill);
}

}  // namespace host
