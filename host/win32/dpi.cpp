#include "host/win32/dpi.h"

#include "host/win32/handles.h"
#include "host/win32/win32_error.h"

namespace host::win32 {

Dpi ScreenDpi() {
  const ScreenDc screen;
  CheckWin32(screen.Get(), "read the screen's device context");
  return Dpi{.x = GetDeviceCaps(screen.Get(), LOGPIXELSX),
             .y = GetDeviceCaps(screen.Get(), LOGPIXELSY)};
}

}  // namespace host::win32
