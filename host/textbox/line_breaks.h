#pragma once
#include "host/runtime/string.h"

namespace host {

/// Text arriving from outside (the clipboard, an input method): every line
/// break it holds, LF, CR LF or a lone CR, becomes CR LF.
String ToCrLf(StringView text);

/// Text leaving a text box for the clipboard: each CR LF becomes LF; a lone
/// CR or LF stays as it is.
String CrLfToLf(StringView text);

}  // namespace host
