#pragma once
#include <optional>

#include "host/runtime/string.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// Puts `text` on the clipboard as CF_UNICODETEXT, every unit as it is.
/// False when the clipboard is held by another program or memory is short;
/// the clipboard is then as it was.
bool PutClipboardText(HWND owner, StringView text);

/// The clipboard's CF_UNICODETEXT, up to the NUL that ends it; none when
/// there is no text or the clipboard is held by another program. Throws
/// std::bad_alloc when the text does not fit in memory.
std::optional<String> ClipboardText(HWND owner);

}  // namespace host::win32
