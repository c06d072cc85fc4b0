#pragma once
#include <string>
#include <string_view>

#include "host/runtime/runtime_error.h"
#include "host/runtime/status.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// A Windows call that failed: what the program was doing and the system's
/// own text for the error code.
class Win32Error : public RuntimeError {
 public:
  Win32Error(std::string_view action, DWORD code);

  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};

/// The system's message for an error code, as UTF-8 without the trailing
/// line break.
std::string SystemMessage(DWORD code);

/// Throws a Win32Error for GetLastError(); never returns.
[[noreturn]] void ThrowLastError(std::string_view action);

/// Passes `result` through, or throws when it is null, zero or false.
template <class T>
T CheckWin32(T result, std::string_view action) {
  if (!result) ThrowLastError(action);
  return result;
}

/// The failing status for GetLastError(), for calls that report through a
/// status rather than by throwing.
Status LastErrorStatus();

}  // namespace host::win32
