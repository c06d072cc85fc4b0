#pragma once
#include "host/textbox/text_navigation.h"
#include "host/win32/automation_interfaces.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The UI Automation element of a TextControl's window: an edit named by
/// its label, with the text pattern. Like the ranges it gives, it reads the
/// control through its window at each call, on the window's thread, so it
/// stays safe to call once the window is gone, answering that the element
/// is no longer there. The caller holds the one reference.
IRawElementProviderSimple* CreateTextAutomation(HWND window);

/// A range of a TextControl's text, from `span.begin` to `span.end` in
/// UTF-16 units; kept valid across edits by clamping to the text at each
/// call. The caller holds the one reference.
ITextRangeProvider* CreateTextRange(HWND window, TextSpan span);

}  // namespace host::win32
