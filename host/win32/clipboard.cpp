#include "host/win32/clipboard.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace host::win32 {
namespace {

// The clipboard, open for a scope.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool Open() const { return open_; }

 private:
  bool open_;
};

struct GlobalFreer {
  void operator()(HGLOBAL memory) const noexcept { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalFreer>;

// A global memory block, locked for a scope.
class Locked {
 public:
  explicit Locked(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  void* Data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace

bool PutClipboardText(HWND owner, StringView text) {
  // Units and the NUL that ends them.
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t)));
  if (memory == nullptr) return false;
  {
    const Locked locked(memory.get());
    if (locked.Data() == nullptr) return false;
    auto* units = static_cast<char16_t*>(locked.Data());
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = u'\0';
  }
  const OpenClipboardScope clipboard(owner);
  if (!clipboard.Open() || !EmptyClipboard()) return false;
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return false;
  memory.release();  // the clipboard owns it now
  return true;
}

std::optional<String> ClipboardText(HWND owner, std::size_t kept) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  const OpenClipboardScope clipboard(owner);
  if (!clipboard.Open()) return std::nullopt;
  HANDLE memory = GetClipboardData(CF_UNICODETEXT);
  if (memory == nullptr) return std::nullopt;
  const Locked locked(memory);
  if (locked.Data() == nullptr) return std::nullopt;
  const auto* units = static_cast<const char16_t*>(locked.Data());
  const std::size_t capacity = GlobalSize(memory) / sizeof(char16_t);
  String text;
  try {
    text.reserve(capacity);
    // Joining needs the old text, this copy and the joined text at once.
    // Taking the joined size first, untouched, refuses at once what would
    // otherwise fail only after the whole text had been copied.
    const std::unique_ptr<char16_t[]> joined(new char16_t[kept + capacity]);
  } catch (const std::bad_alloc&) {
    throw ClipboardTooLarge(capacity);
  } catch (const std::length_error&) {
    throw ClipboardTooLarge(capacity);
  }
  text.assign(units, std::find(units, units + capacity, u'\0'));
  return text;
}

}  // namespace host::win32
