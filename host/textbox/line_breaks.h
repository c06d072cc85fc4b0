#pragma once
#include "host/runtime/string.h"

namespace host {

/// Text arriving from outside (the clipboard, an input method): each LF not
/// after a CR becomes CR LF, the line break here; every unit is kept, a lone
/// CR too, so that what is copied out again is what came in.
String ToCrLf(StringView text);

/// Text leaving a text box for the clipboard: each CR LF becomes LF; a lone
/// CR or LF stays as it is.
String CrLfToLf(StringView text);

}  // namespace host
