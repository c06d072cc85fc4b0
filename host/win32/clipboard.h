#pragma once
#include <cstddef>
#include <new>
#include <optional>

#include "host/runtime/string.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// Puts `text` on the clipboard as CF_UNICODETEXT, every unit as it is.
/// False when the clipboard is held by another program or memory is short;
/// the clipboard is then as it was.
bool PutClipboardText(HWND owner, StringView text);

/// A clipboard text refused because memory cannot hold it beside the text
/// it would join.
class ClipboardTooLarge : public std::bad_alloc {
 public:
  explicit ClipboardTooLarge(std::size_t units) : units_(units) {}
  /// The units the clipboard's memory holds, the NUL that ends them included.
  std::size_t Units() const { return units_; }
  const char* what() const noexcept override { return "the clipboard's text does not fit in memory"; }

 private:
  std::size_t units_;
};

/// The clipboard's CF_UNICODETEXT, up to the NUL that ends it; none when
/// there is no text or the clipboard is held by another program. The text
/// is to join `kept` units already held: before anything is copied, memory
/// for the copy and for the joined text must be had, or ClipboardTooLarge
/// is thrown, so that a refusal costs no time.
std::optional<String> ClipboardText(HWND owner, std::size_t kept);

}  // namespace host::win32
