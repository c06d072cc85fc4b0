#pragma once
#include <string>

#include "host/win32/windows_api.h"

namespace host::win32 {

/// The most units of a box's text handed to a reader at once: a reader
/// asking for a text of many megabytes gets its start, never a copy of it
/// all.
inline constexpr UINT kReaderTextCap = 1u << 20;

/// The caption of the label a text box is named by, chosen among the static
/// controls beside it as a window's design chooses it; empty if none is.
std::wstring LabelText(HWND box);

/// A text box's text as a reader's value, read through the box's messages:
/// up to kReaderTextCap units, then how many more there are.
std::wstring ReaderValue(HWND box);

}  // namespace host::win32
