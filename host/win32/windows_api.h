#pragma once
// The backend's one way into the Windows API. UNICODE, WIN32_LEAN_AND_MEAN,
// NOMINMAX and the target version come from the build.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>
#include <oleacc.h>

// The API's CreateWindow macro would rename Backend::CreateWindow.
#undef CreateWindow
