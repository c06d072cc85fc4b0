#include "host/win32/clipboard_reader.h"

#include <new>
#include <system_error>
#include <utility>

#include "host/win32/clipboard.h"

namespace host::win32 {
namespace {

ClipboardReader::Result Read(std::size_t kept) noexcept {
  try {
    // No window of this thread owns the clipboard: it is opened for reading only.
    return {.text = ClipboardText(nullptr, kept), .refused_units = 0};
  } catch (const ClipboardTooLarge& refused) {
    return {.text = std::nullopt, .refused_units = refused.Units()};
  } catch (...) {
    return {};
  }
}

}  // namespace

ClipboardReader::~ClipboardReader() {
  if (worker_.joinable()) worker_.detach();
}

bool ClipboardReader::Start(std::size_t kept) {
  if (result_.valid()) return false;
  std::promise<Result> promise;
  result_ = promise.get_future();
  try {
    // The thread keeps its own promise and copies: it never reaches back into the reader.
    worker_ = std::jthread([promise = std::move(promise), window = window_, done = done_, kept]() mutable {
      promise.set_value(Read(kept));
      PostMessageW(window, done, 0, 0);  // fails harmlessly once the window is gone
    });
  } catch (const std::system_error&) {
    // No thread could be had, for want of memory or address space.
    result_ = {};
    throw std::bad_alloc();
  }
  return true;
}

std::optional<ClipboardReader::Result> ClipboardReader::Take(std::chrono::milliseconds limit) {
  if (!result_.valid() || result_.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return result_.get();
}

}  // namespace host::win32
