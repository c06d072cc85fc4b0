#pragma once
#include "host/runtime/string.h"

class QMimeData;

namespace host::qt {

// The window system's clipboard converts text on the way: it drops a
// leading U+FEFF taken for a byte order mark, and a trailing NUL taken for
// a terminator. Where the clipboard carries the UTF-8 bytes as they are,
// text crosses it unchanged.

/// Data for the clipboard holding `text`; the caller hands it to the clipboard.
QMimeData* ClipboardData(StringView text);

/// The clipboard's text, every unit it carries kept; empty for no text.
String ClipboardText(const QMimeData* data);

/// The application clipboard's text for a paste: as ClipboardText, and where
/// another program offers only UTF8_STRING on X11, its bytes as they are.
String PastedText();

}  // namespace host::qt
