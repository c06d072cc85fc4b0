#pragma once
// Waiting for what a program under Wine does, without depending on how
// fast it does it.
#include <chrono>
#include <thread>

namespace host::win32::testing {

/// The bound of every wait for a window or a program: generous, because the
/// first program started in a new Wine prefix on a machine whose disk
/// caches are cold may take many seconds to build its first window. A wait
/// that succeeds ends as soon as its condition holds.
inline constexpr std::chrono::seconds kColdStartBound{90};

/// Checks `done` until it holds or `bound` has passed; whether it held.
template <class Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds bound = kColdStartBound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace host::win32::testing
