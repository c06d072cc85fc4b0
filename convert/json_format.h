#pragma once
#include "host/runtime/string.h"

namespace convert {

/// The readable text of a JSON text: TAB and LF removed, a line break (CR LF)
/// after every "{", before every "}" and in place of every ",". Plain
/// character substitution: nothing is parsed or validated.
/// Takes `text` over, so that its storage can serve a later step.
host::String JSONFormat(host::String text);

}  // namespace convert
