#pragma once
// The searches every line index and layout is bound by, from the fast path.
#include "host/fastpath/fastpath.h"

namespace host {

using fast::CountUnit;
using fast::FindLineStarts;
using fast::FindTabOrSurrogate;
using fast::FindUnit;
using fast::LineStarts;

}  // namespace host
