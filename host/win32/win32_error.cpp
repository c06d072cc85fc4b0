#include "host/win32/win32_error.h"

#include "host/win32/wide_text.h"

namespace host::win32 {
namespace {

ErrorNumber NumberOf(DWORD code) {
  return code == ERROR_NOT_ENOUGH_MEMORY || code == ERROR_OUTOFMEMORY ? ErrorNumber::kOutOfMemory
                                                                       : ErrorNumber::kAutomation;
}

std::string Describe(std::string_view action, DWORD code) {
  std::string text = "Could not " + std::string(action) + ": ";
  // Some calls fail without setting an error code; "the operation completed
  // successfully" would then be a confusing reason.
  if (code == ERROR_SUCCESS) return text + "no reason given by the system";
  return text + SystemMessage(code) + " (error " + std::to_string(code) + ")";
}

// Frees what FormatMessageW allocated, on every path.
class LocalText {
 public:
  LocalText() = default;
  LocalText(const LocalText&) = delete;
  LocalText& operator=(const LocalText&) = delete;
  ~LocalText() {
    if (text_ != nullptr) LocalFree(text_);
  }
  wchar_t** Out() { return &text_; }
  const wchar_t* Get() const { return text_; }

 private:
  wchar_t* text_ = nullptr;
};

}  // namespace

Win32Error::Win32Error(std::string_view action, DWORD code)
    : RuntimeError(NumberOf(code), Describe(action, code)), code_(code) {}

std::string SystemMessage(DWORD code) {
  LocalText text;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(text.Out()), 0, nullptr);
  if (length == 0) return "unknown error";
  std::wstring_view message(text.Get(), length);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.remove_suffix(1);
  }
  return Narrow(message);
}

void ThrowLastError(std::string_view action) { throw Win32Error(action, GetLastError()); }

Status LastErrorStatus() {
  const DWORD code = GetLastError();
  if (code == ERROR_SUCCESS) return kUnexpected;
  return Status{static_cast<std::int32_t>(HRESULT_FROM_WIN32(code))};
}

}  // namespace host::win32
