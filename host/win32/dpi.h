#pragma once
#include "host/design/design.h"
#include "host/objects/twips.h"

namespace host::win32 {

/// The display's logical resolution, dots per inch on each axis: what a twip
/// is in pixels.
struct Dpi {
  int x = 96;
  int y = 96;
};

/// Reads the logical resolution of the screen.
Dpi ScreenDpi();

/// A design rectangle in pixels; a negative size becomes zero.
inline PixelRect ToPixels(const TwipRect& rect, Dpi dpi) { return TwipsToPixels(rect, dpi.x, dpi.y); }

}  // namespace host::win32
