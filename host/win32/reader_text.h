#pragma once
#include <string>

#include "host/win32/windows_api.h"

namespace host::win32 {

/// The caption of the label a text box is named by, chosen among the static
/// controls beside it as a window's design chooses it; empty if none is.
std::wstring LabelText(HWND box);

/// A text box's text as a reader's value (reader_units.h).
std::wstring ReaderValue(HWND box);

}  // namespace host::win32
