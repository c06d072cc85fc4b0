#include "host/win32/dpi.h"

#include "host/objects/twips.h"
#include "host/win32/handles.h"
#include "host/win32/win32_error.h"

namespace host::win32 {

Dpi ScreenDpi() {
  const ScreenDc screen;
  CheckWin32(screen.Get(), "read the screen's device context");
  return Dpi{.x = GetDeviceCaps(screen.Get(), LOGPIXELSX),
             .y = GetDeviceCaps(screen.Get(), LOGPIXELSY)};
}

PixelRect ToPixels(const TwipRect& rect, Dpi dpi) {
  return PixelRect{.left = TwipsToPixels(static_cast<float>(rect.left), dpi.x),
                   .top = TwipsToPixels(static_cast<float>(rect.top), dpi.y),
                   .width = TwipsToPixels(static_cast<float>(rect.width), dpi.x, true),
                   .height = TwipsToPixels(static_cast<float>(rect.height), dpi.y, true)};
}

}  // namespace host::win32
