#pragma once
#include "host/runtime/string.h"

namespace convert {

/// The readable text of a JSON text: TAB and LF removed, a line break (CR LF)
/// after every "{", before every "}" and in place of every ",". Plain
/// character substitution: nothing is parsed or validated.
host::String JSONFormat(host::StringView text);

}  // namespace convert
