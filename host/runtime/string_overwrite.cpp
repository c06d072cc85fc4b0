// Built as C++23: resize_and_overwrite is the one standard way to fill a
// string's new units without clearing them first.
#include "host/runtime/string_overwrite.h"

namespace host {

void Overwrite(String& text, std::size_t size, OverwriteFill fill, void* context) {
  text.resize_and_overwrite(size, [&](char16_t* units, std::size_t length) {
    return fill(units, length, context);
  });
}

}  // namespace host
