#pragma once
#include "host/design/design.h"

namespace host::win32 {

/// The display's logical resolution, dots per inch on each axis: what a twip
/// is in pixels.
struct Dpi {
  int x = 96;
  int y = 96;
};

/// Reads the logical resolution of the screen.
Dpi ScreenDpi();

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// A design rectangle in pixels; a negative size becomes zero.
PixelRect ToPixels(const TwipRect& rect, Dpi dpi);

}  // namespace host::win32
