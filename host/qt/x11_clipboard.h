#pragma once
#include <optional>
#include <string>

namespace host::qt {

/// The bytes another program offers on the X clipboard as UTF8_STRING,
/// read over a connection of this function's own: the toolkit's reading of
/// them drops a leading U+FEFF and a trailing NUL. Nothing where the
/// window system is not X11, no program owns the clipboard, or none answers
/// in time; the caller then takes the toolkit's text.
std::optional<std::string> ReadX11ClipboardUtf8();

}  // namespace host::qt
