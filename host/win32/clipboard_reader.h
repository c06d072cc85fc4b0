#pragma once
#include <chrono>
#include <cstddef>
#include <future>
#include <optional>
#include <thread>

#include "host/runtime/string.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// Reads the clipboard's text on a thread of its own, so that the window
/// keeps answering while the system copies a huge text or another program
/// is slow to give one. The window hears that a read is done through a
/// message posted to it. A read still running when the reader goes is left
/// to end alone, as it holds nothing of the reader's: a program that never
/// gives its text must not hold the window as it closes either.
class ClipboardReader {
 public:
  /// What a read came to.
  struct Result {
    std::optional<String> text;  // none: no text, or the clipboard was held
    /// Nonzero: the text was refused, as memory cannot hold this many units.
    std::size_t refused_units = 0;
  };

  /// `done` is posted to `window` when a read has its result.
  ClipboardReader(HWND window, UINT done) : window_(window), done_(done) {}
  ClipboardReader(const ClipboardReader&) = delete;
  ClipboardReader& operator=(const ClipboardReader&) = delete;
  ~ClipboardReader();

  /// Starts reading a text that is to join `kept` units already held;
  /// false while a read is in flight, whose result is still to be taken.
  bool Start(std::size_t kept);
  /// The result once the read is done, waiting for it up to `limit`.
  std::optional<Result> Take(std::chrono::milliseconds limit = {});

 private:
  HWND window_;
  UINT done_;
  std::future<Result> result_;
  std::jthread worker_;
};

}  // namespace host::win32
