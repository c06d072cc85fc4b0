#include "host/win32/paste_refusal.h"

#include <shlwapi.h>

#include <cwchar>
#include <iterator>

namespace host::win32 {

void ShowPasteRefused(HWND box, std::size_t units) {
  // Memory is short: nothing here allocates.
  wchar_t size[32] = {};
  if (units != 0) {
    StrFormatByteSizeW(static_cast<LONGLONG>(units * sizeof(char16_t)), size, static_cast<UINT>(std::size(size)));
  }
  wchar_t text[160] = {};
  std::swprintf(text, std::size(text),
                L"The text on the clipboard%ls%ls%ls is more than there is memory for. Nothing was pasted.",
                units != 0 ? L" (" : L"", size, units != 0 ? L")" : L"");
  HWND owner = GetAncestor(box, GA_ROOT);
  wchar_t caption[128] = {};
  GetWindowTextW(owner, caption, static_cast<int>(std::size(caption)));
  MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
}

}  // namespace host::win32
