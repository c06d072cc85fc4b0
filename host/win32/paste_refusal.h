#pragma once
#include <cstddef>

#include "host/win32/windows_api.h"

namespace host::win32 {

/// Tells the user that a paste into `box` was refused because memory cannot
/// hold the clipboard's `units` of text: a warning owned by the top-level
/// window, captioned with its title, naming the size as the system writes
/// sizes (0 units: the size is not known).
void ShowPasteRefused(HWND box, std::size_t units);

}  // namespace host::win32
