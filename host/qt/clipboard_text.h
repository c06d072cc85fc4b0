#pragma once
#include <QClipboard>
#include <optional>

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

/// The text of the clipboard or the primary selection for a paste. Where
/// another program owns it on X11, its bytes as they are, read without
/// holding the window more than about a second; else as ClipboardText.
struct Pasted {
  std::optional<String> text;  // nothing where there is no text
  bool answered = true;        // false: the owner did not answer in time
};
Pasted PastedText(QClipboard::Mode mode);

/// Whether a paste from the clipboard would find text, asked without
/// waiting on another program.
bool ClipboardMayHaveText();

}  // namespace host::qt
