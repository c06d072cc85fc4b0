#pragma once
#include "host/form.h"

namespace window {

/// The program as the start routine sees it: its title, its window's
/// design and how to make the window's form.
host::Program JSONfrmProgram();

}  // namespace window
